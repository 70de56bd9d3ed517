// The client's window on the SDL back end in a private X server: resized, the hall is scaled to
// fit and quick-join is hit where it is now seen (not where it stood before); full screen by the
// settings and by F11, back to the window's size, which is kept.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Catalogue.h"
#include "engine/Engine.h"
#include "engine/backend/sdl/SdlBackend.h"
#include "net/CMessageQueue.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/hall/CHallScene.h"
#include "settings/CSettings.h"
#include "settings/CWindow.h"
#include "tests/engine/backend/sdl/Xvfb.h"

using namespace engine;
namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "Desk scaled window test";
constexpr const char* kAdd = R"({"opt":"add"})";

class SdlWindowScaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_x.running()) << "Xvfb did not start";
        m_settings =
            fs::temp_directory_path() / ("desk-sdl-scale-settings-" + std::to_string(::getpid()));
        fs::remove_all(m_settings);
        FileUtils::getInstance()->setWritablePath(m_settings.string());
        UserDefault::destroyInstance();
        CSettings::setPlayerName("测试玩家");  // the hall, not the first start's name panel
        setBackend(std::make_unique<SdlBackend>());
        Director* director = Director::getInstance();
        GLView* view = CWindow::open(kTitle);
        ASSERT_NE(view, nullptr);
        director->setOpenGLView(view);
        CWindow::setUp(view);
        CWindow::listenToKeys();
        director->startAnimation();
        loadCatalogue();
        CMessageQueue::getInstance()->setSendTap(
            [this](const std::string& text) { m_sent.push_back(text); });
        ASSERT_TRUE(showLayerInNewScene(CHallScene::create()));
        m_window = m_probe.waitForWindowNamed(kTitle, 5.0);
        ASSERT_FALSE(m_window.empty()) << "the window did not appear";
        pump(0.3);
    }
    void TearDown() override {
        CMessageQueue::getInstance()->setSendTap(nullptr);
        Director* director = Director::getInstance();
        director->purge();
        director->setOpenGLView(nullptr);
        setBackend(nullptr);
        UserDefault::destroyInstance();
        FileUtils::getInstance()->setWritablePath("");
        fs::remove_all(m_settings);
    }

    // Runs the loop as Application::run does for `seconds`: input, resizes, frames.
    void pump(double seconds) {
        Director* director = Director::getInstance();
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            std::vector<InputEvent> events;
            backend().pollInput(events, 0.02);
            director->runFrame(events);
            for (const InputEvent& event : events) {
                if (event.type == InputEvent::Type::Resized) {
                    CWindow::onResized();
                }
            }
        }
    }

    void xdotool(const std::string& args) {
        ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args;
    }
    void clickAt(float x, float y) {
        xdotool("mousemove --sync --window " + m_window + " " + std::to_string(int(x)) + " " +
                std::to_string(int(y)) + " click 1");
        pump(0.3);
    }
    Size frameSize() const { return Director::getInstance()->getOpenGLView()->getFrameSize(); }

    desktest::Xvfb m_x{"2560x1600x24"};
    desktest::XProbe m_probe;  // connects to m_x
    fs::path m_settings;
    std::string m_window;
    std::vector<std::string> m_sent;
};

TEST_F(SdlWindowScaleTest, AResizedWindowRescalesTheHallAndQuickJoinIsHitWhereItIsSeen) {
    EXPECT_EQ(frameSize(), Size(1024, 768));
    xdotool("windowsize --sync " + m_window + " 2048 1536");
    pump(0.5);
    ASSERT_EQ(frameSize(), Size(2048, 1536));
    EXPECT_FLOAT_EQ(Director::getInstance()->getContentScaleFactor(), 2.0f);
    m_sent.clear();
    // Where the button's right part stood at 1 x is table now; at 2 x it is twice as far.
    clickAt(512 + 110, 384);
    EXPECT_TRUE(m_sent.empty());
    clickAt(2 * (512 + 110), 2 * 384);
    EXPECT_EQ(m_sent, std::vector<std::string>{kAdd});
    EXPECT_EQ(CSettings::windowSize(), Size(2048, 1536));
}

TEST_F(SdlWindowScaleTest, ALetterboxedWindowIsHitThroughItsBars) {
    xdotool("windowsize --sync " + m_window + " 1600 900");
    pump(0.5);
    ASSERT_EQ(frameSize(), Size(1600, 900));
    EXPECT_FLOAT_EQ(Director::getInstance()->getContentScaleFactor(), 1.0f);
    m_sent.clear();
    const float scale = 900.0f / 768;
    const float left = (1600 - 1024 * scale) / 2;
    clickAt(left + (512 - 110) * scale, 384 * scale);
    EXPECT_EQ(m_sent, std::vector<std::string>{kAdd});
}

TEST_F(SdlWindowScaleTest, FullScreenBySettingAndByF11ComesBackToTheKeptSize) {
    CWindow::setFullScreen(true);
    pump(0.5);
    EXPECT_TRUE(CWindow::isFullScreen());
    EXPECT_EQ(frameSize(), Size(2560, 1600));
    EXPECT_FLOAT_EQ(Director::getInstance()->getContentScaleFactor(), 2.0f);
    EXPECT_TRUE(CSettings::fullScreen());
    xdotool("key --window " + m_window + " F11");
    pump(0.5);
    EXPECT_FALSE(CWindow::isFullScreen());
    EXPECT_EQ(frameSize(), Size(1024, 768));
    EXPECT_FALSE(CSettings::fullScreen());
    // The size kept for the next start is the window's, not the screen's.
    EXPECT_EQ(CSettings::windowSize(), Size(1024, 768));
}

}  // namespace
