#include "app/AppDelegate.h"

#include "app/CSettings.h"
#include "app/CWindow.h"
#include "app/Catalogue.h"
#include "engine/Engine.h"
#include "net/CMessageQueue.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/hall/CHallScene.h"

using namespace engine;

namespace {

constexpr float kFrameInterval = 1.0f / 60;

}  // namespace

AppDelegate::AppDelegate() = default;

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
    if (!CMessageQueue::getInstance()->connectServer()) {
        MessageBox("连接服务器失败！请检查网络是否正常。", "错误");
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
