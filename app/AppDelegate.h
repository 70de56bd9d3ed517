#pragma once
// The application delegate: the engine calls it back to start the client, when the window is
// minimised or restored (drawing pauses and resumes; timers and messages go on), and when it is
// resized. Start-up opens the window before it tries the server, and loads the catalogue and shows
// the hall only after the connection succeeded. Main thread only.

#include "engine/platform/Application.h"

class AppDelegate : private engine::Application {
public:
    AppDelegate();
    // Shuts the server link down so that the receiver thread ends quietly at a normal exit.
    ~AppDelegate() override;

    // True when the hall runs; false, after the connection box, when the server is unreachable.
    bool applicationDidFinishLaunching() override;
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;
    void applicationScreenSizeChanged(int newWidth, int newHeight) override;
    void initGLContextAttrs() override;
};
