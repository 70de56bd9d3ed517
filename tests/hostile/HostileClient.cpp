#include "tests/hostile/HostileClient.h"

#include <fstream>
#include <sstream>
#include <thread>

#include "app/Catalogue.h"
#include "engine/Engine.h"
#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/hall/CHallScene.h"

using namespace engine;

void HostileClient::SetUp() {
    headless::install();
    loadCatalogue();
    ASSERT_NE(m_server.port(), 0) << "no listener on " << kHost;
    ASSERT_TRUE(CMessageQueue::getInstance()->connectServerAt(kHost, m_server.port()));
    CHallScene* hall = CHallScene::create();
    ASSERT_NE(hall, nullptr);
    ASSERT_TRUE(showLayerInNewScene(hall));
    headless::stepFrames(1);
}

void HostileClient::TearDown() {
    CMessageQueue::getInstance()->shutdown();
    m_server.stop();
}

bool HostileClient::waitFor(const std::function<bool()>& done, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool HostileClient::drainThroughScenes(double maxSeconds) {
    const double limit = headless::now() + maxSeconds;
    while (CMessageQueue::getInstance()->queuedCount() > 0) {
        if (headless::now() > limit) {
            return false;
        }
        headless::step(0.5);
    }
    headless::step(0.2);  // a scene change takes effect at the next frame
    return true;
}

namespace {

std::vector<ShownBox> boxesWhere(bool onMainThread) {
    std::vector<ShownBox> out;
    for (const auto& box : headless::messageBoxes()) {
        if ((box.thread == std::this_thread::get_id()) == onMainThread) {
            out.push_back({box.text, box.title});
        }
    }
    return out;
}

}  // namespace

std::vector<ShownBox> HostileClient::sceneBoxes() {
    return boxesWhere(true);
}

std::vector<ShownBox> HostileClient::linkBoxes() {
    return boxesWhere(false);
}

std::size_t residentKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0) {
            std::size_t kib = 0;
            std::istringstream(line.substr(prefix.size())) >> kib;
            return kib;
        }
    }
    return 0;
}

void resetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
