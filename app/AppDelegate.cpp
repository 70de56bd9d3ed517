#include "app/AppDelegate.h"

#include <optional>
#include <string>
#include <utility>

#include "app/Catalogue.h"
#include "engine/Engine.h"
#include "net/CMessageQueue.h"
#include "net/ServerAddress.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/hall/CHallScene.h"
#include "settings/CSettings.h"
#include "settings/CWindow.h"

using namespace engine;

namespace {

constexpr float kFrameInterval = 1.0f / 60;
// How long a server the player chose may take to answer before the configured one is tried.
constexpr int kChosenServerWaitMs = 5000;

}  // namespace

// Connects to the server the player chose in the settings, if any, else to the configured one.
// A chosen server that cannot be reached never locks the player out: a box says so and the
// configured server is tried; only when that one fails too does the game end. The local server
// is started (when the command line asks for it) only for the configured one.
bool AppDelegate::connectToServer() {
    CMessageQueue* queue = CMessageQueue::getInstance();
    if (const std::string chosen = CSettings::serverAddress(); !chosen.empty()) {
        std::string reason;
        const std::optional<ServerAddress> address = parseServerAddress(chosen, reason);
        const std::string ip = address ? resolveIPv4(address->host) : std::string();
        if (!ip.empty() && queue->connectServerAt(ip, address->port, kChosenServerWaitMs)) {
            return true;
        }
        MessageBox(("无法连接所选的服务器 " + chosen + "，改用默认服务器。").c_str(), "提示");
    }
    // A local server that fails to come up ends in the same box as an unreachable one.
    m_localServer.ensureRunning(
        m_options, Configuration::getInstance()->getValue("host", Value::Null).asString(),
        CMessageQueue::kServerPort);
    if (!queue->connectServer()) {
        MessageBox("连接服务器失败！请检查网络是否正常。", "错误");
        return false;
    }
    return true;
}

AppDelegate::AppDelegate(ClientOptions options) : m_options(std::move(options)) {}

AppDelegate::~AppDelegate() {
    CMessageQueue::getInstance()->shutdown();
}

void AppDelegate::initGLContextAttrs() {
    GLContextAttrs attrs;
    attrs.redBits = 8;
    attrs.greenBits = 8;
    attrs.blueBits = 8;
    attrs.alphaBits = 8;
    attrs.depthBits = 24;
    attrs.stencilBits = 8;
    GLView::setGLContextAttrs(attrs);
}

bool AppDelegate::applicationDidFinishLaunching() {
    Configuration::getInstance()->loadConfigFile("config/strings.plist");
    prefetchTable();

    Director* director = Director::getInstance();
    GLView* view = director->getOpenGLView();
    if (!view) {
        const std::string title =
            Configuration::getInstance()->getValue("title", Value::Null).asString();
        view = CWindow::open(title);
        if (!view) {
            return false;  // the back end has said why on stderr
        }
        director->setOpenGLView(view);
    }
    director->setAnimationInterval(kFrameInterval);
    CWindow::setUp(view);
    CWindow::listenToKeys();
    CSettings::applyAudio();

    // The token goes first on every link, so a player whose client was killed mid-game is
    // brought back to the seat the server held.
    CMessageQueue::getInstance()->setPlayerToken(CSettings::playerToken());
    CMessageQueue::getInstance()->setPlayerName(CSettings::playerName());
    if (!connectToServer()) {
        return false;
    }

    static bool catalogueLoaded = false;
    if (!catalogueLoaded) {
        loadCatalogue();
        catalogueLoaded = true;
    }

    // The hall; a "resume" after the hello takes the player on to the seat the server held.
    return showLayerInNewScene(CHallScene::create());
}

// A minimised window only stops drawing: the game goes on at the server, so the desk's clock and
// its message poll must go on too.
void AppDelegate::applicationDidEnterBackground() {
    Director::getInstance()->pauseDrawing();
}

void AppDelegate::applicationWillEnterForeground() {
    Director::getInstance()->resumeDrawing();
}

void AppDelegate::applicationScreenSizeChanged(int, int) {
    CWindow::onResized();
}
