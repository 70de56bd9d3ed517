// Application::run: launching, the frame loop until Quit, background and foreground.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class ApplicationTest : public HeadlessTest {};

class TestApp : public Application {
public:
    explicit TestApp(bool launches) : m_launches(launches) {}
    void initGLContextAttrs() override {
        log += "attrs ";
        GLContextAttrs attrs = {8, 8, 8, 8, 24, 8};
        GLView::setGLContextAttrs(attrs);
    }
    bool applicationDidFinishLaunching() override {
        log += "launch ";
        if (!m_launches) {
            return false;
        }
        auto* scene = Scene::create();
        auto* layer = Layer::create();
        scene->addChild(layer);
        // Quits after 1.5 s of (virtual) time, backgrounding at 0.5 s and returning at 1.0 s.
        layer->schedule([this](float) { onTick(); }, 0.5f, "tick");
        Director::getInstance()->runWithScene(scene);
        return true;
    }
    void applicationDidEnterBackground() override {
        log += "background ";
        Director::getInstance()->stopAnimation();
    }
    void applicationWillEnterForeground() override {
        log += "foreground ";
        Director::getInstance()->startAnimation();
    }
    void onTick() {
        ++ticks;
        log += "tick ";
        if (ticks == 1) {
            headless::queueEvent(InputEvent::Type::Minimized);
            headless::queueEvent(InputEvent::Type::Restored);
        }
        if (ticks == 3) {
            headless::queueEvent(InputEvent::Type::Quit);
        }
    }
    std::string log;
    int ticks = 0;

private:
    bool m_launches;
};

TEST_F(ApplicationTest, FailedLaunchReturnsNonZeroWithoutALoop) {
    TestApp app(false);
    EXPECT_EQ(Application::getInstance(), &app);
    EXPECT_EQ(app.run(), 1);
    EXPECT_EQ(app.log, "attrs launch ");
    EXPECT_EQ(GLView::getGLContextAttrs().depthBits, 24);
}

TEST_F(ApplicationTest, RunsFramesUntilQuitAndPassesWindowEventsToTheDelegate) {
    TestApp app(true);
    const int drawnBefore = headless::framesDrawn();
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(app.log, "attrs launch tick background foreground tick tick ");
    EXPECT_GE(headless::now(), 1.5 - 1e-6);
    EXPECT_LT(headless::now(), 2.0);
    EXPECT_EQ(Director::getInstance()->getRunningScene(), nullptr);  // purged at the end
    // Nothing changed on screen after the first picture, and restoring redraws once.
    EXPECT_LE(headless::framesDrawn() - drawnBefore, 2);
}

TEST_F(ApplicationTest, LanguageAndPlatformHaveValues) {
    TestApp app(false);
    EXPECT_NE(app.getCurrentLanguageCode(), nullptr);
#ifdef __linux__
    EXPECT_EQ(app.getTargetPlatform(), Application::Platform::OS_LINUX);
#endif
}

}  // namespace
