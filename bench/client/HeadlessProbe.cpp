// The client on the headless back end, for the benchmark: the same start-up as the real client
// (catalogue, connection, first hall) but no window; frames run in real time at the client's
// 1/60 s frame interval. Prints "hall" once the hall's first frame is drawn and "desk" once a
// dealt hand is drawn, then runs until it is stopped.
//   desk_headless_probe <host>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/Catalogue.h"
#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/hall/CHallScene.h"

namespace {

constexpr double kFrame = 1.0 / 60.0;
// The right-most card of a 27-card hand, in design coordinates (origin bottom-left).
constexpr float kHandX = 770, kHandY = 88;

bool differs(engine::DrawColor a, engine::DrawColor b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: desk_headless_probe <host>\n");
        return 1;
    }
    engine::headless::install();
    prefetchTable();
    if (!CMessageQueue::getInstance()->connectServerAt(argv[1], CMessageQueue::kServerPort)) {
        std::fprintf(stderr, "cannot connect to %s\n", argv[1]);
        return 1;
    }
    loadCatalogue();
    showLayerInNewScene(CHallScene::create());
    engine::headless::stepFrames(1);
    std::printf("hall\n");
    std::fflush(stdout);

    const engine::DrawColor table = engine::headless::pixelAt(kHandX, kHandY);
    bool dealt = false;
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        next += std::chrono::microseconds(static_cast<long long>(kFrame * 1e6));
        std::this_thread::sleep_until(next);
        engine::headless::step(kFrame);
        if (!dealt && differs(engine::headless::pixelAt(kHandX, kHandY), table)) {
            dealt = true;
            std::printf("desk\n");
            std::fflush(stdout);
        }
    }
}
