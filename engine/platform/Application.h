#pragma once
// The application frame: the one object the process entry constructs. run() calls
// initGLContextAttrs and applicationDidFinishLaunching, then runs the director's frames until the
// window is closed; minimising and restoring the window call applicationDidEnterBackground and
// applicationWillEnterForeground, and a resize applicationScreenSizeChanged. Main thread only.

#include <string>

namespace engine {

class Application {
public:
    enum class Platform { OS_LINUX, OS_WINDOWS, OS_MAC, OS_OTHER };

    Application();  // becomes getInstance()
    virtual ~Application();
    static Application* getInstance();

    virtual void initGLContextAttrs() {}
    // False ends run() at once with a non-zero status, without entering the frame loop.
    virtual bool applicationDidFinishLaunching() = 0;
    virtual void applicationDidEnterBackground() = 0;
    virtual void applicationWillEnterForeground() = 0;
    // The window's drawing area became width x height pixels; the view has its new frame size.
    virtual void applicationScreenSizeChanged(int newWidth, int newHeight) {
        (void)newWidth;
        (void)newHeight;
    }

    virtual void setAnimationInterval(float interval);
    virtual const char* getCurrentLanguageCode();
    virtual Platform getTargetPlatform();

    // The process exit status: 0 after the window was closed, 1 when launching failed.
    int run();
};

}  // namespace engine
