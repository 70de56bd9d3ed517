#pragma once
// A private X server for tests that open real windows: Xvfb on a display number it picks itself
// (-displayfd), with DISPLAY pointing at it while the object lives; stopped by its pid.

#include <sys/types.h>

#include <string>

namespace desktest {

class Xvfb {
public:
    // Starts the server with one screen of `screen` (WIDTHxHEIGHTxDEPTH); running() tells whether
    // it came up.
    explicit Xvfb(const std::string& screen = "1280x1024x24");
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool running() const { return m_pid > 0 && !m_display.empty(); }
    const std::string& display() const { return m_display; }  // e.g. ":3"

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// A connection of the test's own to the X server, opened once: looking windows up through it takes
// no process-wide lock and starts no helper program, so it is safe while another thread forks
// (SDL's message box does, and a helper's pipe or a global lock caught in the fork would hang).
class XProbe {
public:
    XProbe();  // connects to $DISPLAY
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    // The top-level window whose UTF-8 name (_NET_WM_NAME) is `name`, as a decimal id, waiting
    // up to `seconds` for it; "" when none appears.
    std::string waitForWindowNamed(const std::string& name, double seconds);
    // Asks a window to close the way a window manager does (WM_DELETE_WINDOW).
    bool requestClose(const std::string& windowId);

private:
    std::string findWindowNamed(const std::string& name);

    void* m_display = nullptr;  // Display*
};

// Runs a shell command and returns what it printed on standard output, trailing newline removed.
std::string runCommand(const std::string& command);

}  // namespace desktest
