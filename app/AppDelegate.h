#pragma once
// The application delegate: the engine calls it back to start the client, when the window is
// minimised or restored (drawing pauses and resumes; timers and messages go on), and when it is
// resized. Start-up opens the window before it tries the server (starting the local server first
// when the command line asks for it), and loads the catalogue and shows the hall only after the
// connection succeeded. Main thread only.

#include "app/CLocalServer.h"
#include "app/ClientOptions.h"
#include "engine/platform/Application.h"

class AppDelegate : private engine::Application {
public:
    explicit AppDelegate(ClientOptions options = {});
    // Shuts the server link down so that the receiver thread ends quietly at a normal exit, then
    // stops the local server this client started.
    ~AppDelegate() override;

    // True when the hall runs; false, after the connection box, when the server is unreachable.
    bool applicationDidFinishLaunching() override;
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;
    void applicationScreenSizeChanged(int newWidth, int newHeight) override;
    void initGLContextAttrs() override;

private:
    bool connectToServer();

    ClientOptions m_options;      // from the command line
    CLocalServer m_localServer;  // the server started for this client, if any
};
