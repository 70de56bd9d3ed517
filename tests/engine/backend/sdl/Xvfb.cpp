#include "tests/engine/backend/sdl/Xvfb.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace desktest {

namespace {
constexpr int kStartTimeoutMs = 10000;
}

Xvfb::Xvfb(const std::string& screen) {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                          screen.c_str(), "-nolisten",  "tcp",      nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned =
        posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        m_pid = -1;
        close(fds[0]);
        return;
    }
    // The server writes its display number and a newline once it accepts connections.
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, kStartTimeoutMs) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (c == '\n' && !number.empty()) {
        m_display = ":" + number;
        setenv("DISPLAY", m_display.c_str(), 1);
    }
}

Xvfb::~Xvfb() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
}

XProbe::XProbe() : m_display(XOpenDisplay(nullptr)) {}

XProbe::~XProbe() {
    if (m_display) {
        XCloseDisplay(static_cast<Display*>(m_display));
    }
}

bool XProbe::requestClose(const std::string& windowId) {
    auto* display = static_cast<Display*>(m_display);
    if (!display) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(windowId.c_str(), nullptr, 10);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XFlush(display);
    return sent != 0;
}

std::string XProbe::findWindowNamed(const std::string& name) {
    auto* display = static_cast<Display*>(m_display);
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::string found;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        return found;
    }
    for (unsigned i = 0; i < count && found.empty(); ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* value = nullptr;
        if (XGetWindowProperty(display, children[i], netWmName, 0, 1024, False, utf8, &type,
                               &format, &items, &after, &value) == Success &&
            value) {
            if (name == reinterpret_cast<const char*>(value)) {
                found = std::to_string(children[i]);
            }
            XFree(value);
        }
    }
    XFree(children);
    return found;
}

std::string XProbe::waitForWindowNamed(const std::string& name, double seconds) {
    if (!m_display) {
        return "";
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        std::string id = findWindowNamed(name);
        if (!id.empty()) {
            return id;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return "";
}

std::string runCommand(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return out;
    }
    char buffer[256];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    pclose(pipe);
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

}  // namespace desktest
