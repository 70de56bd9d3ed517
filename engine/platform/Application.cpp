#include "engine/platform/Application.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/platform/Backend.h"
#include "engine/platform/GLView.h"
#include "engine/scene/Director.h"

namespace engine {

namespace {
Application* g_application = nullptr;
// The loop wakes at least this often even with nothing to do.
constexpr double kLongestWait = 0.5;
// Closer than this to a due frame counts as due (the back ends wait in whole milliseconds).
constexpr double kDueSlack = 0.001;
}  // namespace

Application::Application() {
    assert(!g_application && "only one Application per process");
    g_application = this;
}

Application::~Application() {
    if (g_application == this) {
        g_application = nullptr;
    }
}

Application* Application::getInstance() {
    return g_application;
}

void Application::setAnimationInterval(float interval) {
    Director::getInstance()->setAnimationInterval(interval);
}

const char* Application::getCurrentLanguageCode() {
    const char* lang = std::getenv("LANG");
    if (lang && std::strncmp(lang, "zh", 2) == 0) {
        return "zh";
    }
    return "en";
}

Application::Platform Application::getTargetPlatform() {
#if defined(_WIN32)
    return Platform::OS_WINDOWS;
#elif defined(__APPLE__)
    return Platform::OS_MAC;
#elif defined(__linux__)
    return Platform::OS_LINUX;
#else
    return Platform::OS_OTHER;
#endif
}

int Application::run() {
    initGLContextAttrs();
    if (!applicationDidFinishLaunching()) {
        return 1;
    }
    Director* director = Director::getInstance();
    std::vector<InputEvent> frameInput;  // touches and exposures waiting for the next frame
    std::vector<InputEvent> arrived;
    bool quit = false;
    while (!quit && !director->isEndRequested()) {
        const double wait = std::min(director->secondsUntilWork(!frameInput.empty()), kLongestWait);
        arrived.clear();
        backend().pollInput(arrived, wait < kDueSlack ? 0.0 : wait);
        for (const InputEvent& event : arrived) {
            switch (event.type) {
                case InputEvent::Type::Quit:
                    quit = true;
                    break;
                case InputEvent::Type::Minimized:
                    applicationDidEnterBackground();
                    break;
                case InputEvent::Type::Restored:
                    applicationWillEnterForeground();
                    break;
                case InputEvent::Type::Resized:
                    if (GLView* view = director->getOpenGLView()) {
                        view->setFrameSize(event.x, event.y);
                    }
                    applicationScreenSizeChanged(static_cast<int>(event.x),
                                                 static_cast<int>(event.y));
                    frameInput.push_back(event);
                    break;
                default:
                    frameInput.push_back(event);
                    break;
            }
        }
        if (director->isAnimationStopped()) {
            frameInput.clear();  // a minimised window's clicks are not kept for later
        }
        if (!quit && director->secondsUntilWork(!frameInput.empty()) < kDueSlack) {
            director->runFrame(frameInput);
            frameInput.clear();
        }
    }
    director->purge();
    return 0;
}

}  // namespace engine
