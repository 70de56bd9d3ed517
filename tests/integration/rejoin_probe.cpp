// rejoin_probe <port> [--join]: the client on the headless back end as a process of its own, for
// the test that kills it and starts it again. The same start-up as the real client (the player's
// token from the settings under XDG_CONFIG_HOME, the link to 127.0.0.1:port, the catalogue, the
// hall), frames in real time, and a player who readies and makes the first legal play on every
// turn. With --join it presses quick join in its first hall; without, it never touches a hall,
// so a desk can only come from the server bringing the player back.
// It writes to stderr "seated <desk> <site>" for each new desk, "desk <desk> <site> <hand codes,
// sorted>" the first frame that desk shows a hand, and "hall" for each new hall.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "app/Catalogue.h"
#include "engine/Engine.h"
#include "net/CMessageQueue.h"
#include "scenes/common/SceneFlow.h"
#include "settings/CSettings.h"
#include "tests/integration/TurnByTouch.h"

using namespace engine;

namespace {

constexpr double kFrame = 1.0 / 60.0;

Node* runningLayer() {
    Scene* scene = Director::getInstance()->getRunningScene();
    return scene != nullptr && !scene->getChildren().empty() ? scene->getChildren().front()
                                                             : nullptr;
}

std::string handText(const DeskProbe& probe) {
    std::vector<int> codes;
    for (const CardSprite* card : probe.hand()) {
        codes.push_back(card->m_card);
    }
    std::sort(codes.begin(), codes.end());
    std::string text;
    for (int code : codes) {
        text += " " + std::to_string(code);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const long port = argc >= 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    const bool join = argc >= 3 && std::strcmp(argv[2], "--join") == 0;
    if (port <= 0 || port > 65535) {
        std::fprintf(stderr, "usage: rejoin_probe <port> [--join]\n");
        return 2;
    }
    headless::install();
    CMessageQueue* link = CMessageQueue::getInstance();
    link->setPlayerToken(CSettings::playerToken());
    CSettings::setPlayerName("probe");  // the name panel stays closed: the hall is tapped
    link->setPlayerName("probe");
    if (!link->connectServerAt("127.0.0.1", static_cast<std::uint16_t>(port))) {
        std::fprintf(stderr, "no link\n");
        return 1;
    }
    loadCatalogue();
    if (!showLayerInNewScene(CHallScene::create())) {
        return 1;
    }
    const Node* seen = nullptr;  // the layer last reported
    bool joined = false;
    bool deskReported = false;
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        next += std::chrono::microseconds(static_cast<long long>(kFrame * 1e6));
        std::this_thread::sleep_until(next);
        headless::step(kFrame);
        Node* layer = runningLayer();
        if (dynamic_cast<CHallScene*>(layer) != nullptr) {
            if (layer != seen) {
                seen = layer;
                std::fprintf(stderr, "hall\n");
            }
            if (join && !joined) {
                joined = true;
                headless::tap(512, 384);
            }
        } else if (auto* desk = dynamic_cast<CDeskScene*>(layer)) {
            DeskProbe probe{*desk};
            if (layer != seen) {
                seen = layer;
                deskReported = false;
                std::fprintf(stderr, "seated %d %d\n", probe.deskNumber(), probe.mySite());
            }
            if (!deskReported && !probe.hand().empty()) {
                deskReported = true;
                std::fprintf(stderr, "desk %d %d%s\n", probe.deskNumber(), probe.mySite(),
                             handText(probe).c_str());
            }
            if (probe.ready()->isVisible() && probe.ready()->isEnabled()) {
                tapAt(kReady);
            } else if (probe.play()->isVisible() && probe.play()->isEnabled()) {
                takeLegalTurn(probe);
            }
        }
    }
}
