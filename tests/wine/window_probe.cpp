// window_probe <mode> <settings folder>: the client's window on the real SDL back end, opened as
// the game opens it, for the tests that run it under Wine (wine_dpi.sh, wine_refusal.sh).
//
//   mode      what it does
//   scaled    shows the hall; the link is scripted: a quick join is answered with a seat at desk
//             3 and a dealt hand. Writes to stdout (flushed) "window <w> <h> pixels <pw> <ph>
//             scale <content scale>" at start and after every resize (w, h: window coordinates,
//             pw, ph: its pixels), "sent <text>" for every text the scenes send, "card <code>
//             <x> <y>" once the hand shows (window pixels of a point on the first card's
//             uncovered strip) and "raised <codes>" whenever the raised cards change.
//   refuse    shows the hall and redraws it at every frame, linked to a server of its own that
//             answers with an outdated version: the client's box, and its end with status 0
//             once the box is closed. Any other end has a status of its own.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/Catalogue.h"
#include "engine/Engine.h"
#include "engine/backend/sdl/InstallSdlBackend.h"
#include "net/CMessageQueue.h"
#include "net/MessageDecoder.h"
#include "scenes/common/CardSprite.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/hall/CHallScene.h"
#include "settings/CSettings.h"
#include "settings/CWindow.h"
#include "tests/kit/ScriptedServer.h"
#include "tests/scenes/DeskProbe.h"

using namespace engine;

namespace {

constexpr const char* kTitle = "desk window probe";

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void push(const std::string& json) {
    auto msg = std::make_shared<stMsg>();
    if (decodeMessage(json, *msg) == DecodeStatus::Ok) {
        CMessageQueue::getInstance()->pushMsg(std::move(msg));
    }
}

Node* runningLayer() {
    Scene* scene = Director::getInstance()->getRunningScene();
    return scene != nullptr && !scene->getChildren().empty() ? scene->getChildren().front()
                                                             : nullptr;
}

std::string sizeLine() {
    const auto* view = static_cast<GLViewImpl*>(Director::getInstance()->getOpenGLView());
    const Size window = view->getWindowSize();
    const Size pixels = view->getFrameSize();
    char line[128];
    std::snprintf(line, sizeof line, "window %d %d pixels %d %d scale %g",
                  static_cast<int>(window.width), static_cast<int>(window.height),
                  static_cast<int>(pixels.width), static_cast<int>(pixels.height),
                  static_cast<double>(Director::getInstance()->getContentScaleFactor()));
    return line;
}

// The scripted desk of `scaled`: what the probe reports of it since the last frame.
struct DeskReport {
    bool cardSaid = false;
    std::string raised = "-";
};

void reportDesk(CDeskScene* desk, DeskReport& report) {
    DeskProbe probe{*desk};
    if (probe.hand().empty()) {
        return;
    }
    if (!report.cardSaid) {
        report.cardSaid = true;
        const CardSprite* card = probe.hand().front();
        const Rect box = card->getBoundingBox();
        const Vec2 at = Director::getInstance()->getOpenGLView()->designToWindow(
            card->getParent()->convertToWorldSpace(Vec2(box.getMinX() + 9, box.getMidY())));
        say("card " + std::to_string(card->m_card) + " " + std::to_string(int(at.x)) + " " +
            std::to_string(int(at.y)));
    }
    std::string raised;
    for (int code : probe.collectRaised()) {
        raised += (raised.empty() ? "" : ",") + std::to_string(code);
    }
    if (raised != report.raised) {
        report.raised = raised;
        say("raised " + raised);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool refuse = argc == 3 && std::strcmp(argv[1], "refuse") == 0;
    if (argc != 3 || (!refuse && std::strcmp(argv[1], "scaled") != 0)) {
        std::fprintf(stderr, "usage: window_probe scaled|refuse <settings folder>\n");
        return 2;
    }
    FileUtils::getInstance()->setWritablePath(argv[2]);
    CSettings::setPlayerName("测试玩家");  // the hall itself, not the first start's name panel
    installSdlBackend();
    Director* director = Director::getInstance();
    GLView* view = CWindow::open(kTitle);
    if (view == nullptr) {
        return 3;
    }
    director->setOpenGLView(view);
    CWindow::setUp(view);
    director->startAnimation();
    loadCatalogue();

    ScriptedServer server;
    CMessageQueue* link = CMessageQueue::getInstance();
    if (refuse) {
        if (!link->connectServerAt("127.0.0.1", server.port()) || !server.accept()) {
            return 4;
        }
        server.send(frameOf(R"({"opt":"query","online":"5","version":"1"})"));
    } else {
        link->setSendTap([](const std::string& text) {
            say("sent " + text);
            if (text == R"({"opt":"add"})") {
                push(R"({"opt":"add","desk":"3","site":"1","name":"me"})");
                push(R"({"opt":"start","cards":"0,5,9,14,18,23,27,32,36,41"})");
            }
        });
    }
    if (!showLayerInNewScene(CHallScene::create())) {
        return 5;
    }
    std::string lastSize;
    DeskReport desk;
    for (;;) {
        std::vector<InputEvent> events;
        backend().pollInput(events, refuse ? 0.0 : 0.01);
        for (const InputEvent& event : events) {
            if (event.type == InputEvent::Type::Quit) {
                return 6;
            }
        }
        director->runFrame(events);
        for (const InputEvent& event : events) {
            if (event.type == InputEvent::Type::Resized) {
                CWindow::onResized();
            }
        }
        if (refuse) {
            // A change at every frame, so the main thread is drawing whenever the end comes.
            if (Node* layer = runningLayer()) {
                layer->setPosition(Vec2(layer->getPositionX() == 0 ? 1.0f : 0.0f, 0));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        if (const std::string size = sizeLine(); size != lastSize) {
            lastSize = size;
            say(size);
        }
        if (auto* seated = dynamic_cast<CDeskScene*>(runningLayer())) {
            reportDesk(seated, desk);
        }
    }
}
