// Start-up time, idle cost and frame times of the real client under Xvfb (see bench/README.md),
// and the start-up and idle figures of the same client on the headless back end. It plays the
// server itself (ScriptedServer) so every phase shows exactly the intended screen, and reads the
// client only from outside: screen pixels, /proc and the engine's opt-in frame log.
//   client_bench --client EXE --headless EXE --host ADDRESS --hall-colour "R G B" --work DIR
//                --display-2x DISPLAY [--as-user NAME] [--short]
// Needs DISPLAY (an Xvfb of 1024 x 768 without window manager), --display-2x (one of 2048 x 1536,
// where the client opens at that size and draws from the double-size images) and DESK_RESOURCES
// pointing the client at --host. Exit 0 when every figure was measured (missed targets are
// reported, not failed), 1 when a phase could not be measured.

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "Figures.h"
#include "FrameLog.h"
#include "ProcessStats.h"
#include "Script.h"
#include "XScreen.h"
#include "tests/kit/ScriptedServer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string client, headless, host, work, display2x;
    Rgb hallColour;
    bool quick = false;
    std::string user;  // --as-user: the clients run as this user; empty: as the bench
    uid_t uid = static_cast<uid_t>(-1);
    gid_t gid = static_cast<gid_t>(-1);
    void applyUser(ChildProcess& child) const {
        if (!user.empty()) {
            child.runAs(uid, gid);
        }
    }
    int startRuns() const { return quick ? 3 : 5; }
    int idleRuns() const { return quick ? 1 : 3; }
    double idleSeconds() const { return quick ? 5 : 20; }
};

// Window pixels (origin top-left): the quick-join button left of its label, and the right-most
// card of a 27-card hand.
constexpr int kHallX = 412, kHallY = 384;
constexpr int kHandX = 770, kHandY = 680;

bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Polls `seen` about every millisecond until it holds; false after thirty seconds (a client
// starting on a loaded machine has taken over ten to show its first frame).
bool pollUntil(const std::function<bool()>& seen) {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!seen()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// What the SDL client wrote that it draws with, e.g. "SDL's software renderer (no GPU: ...)".
std::string rendererInLog(const std::string& logPath) {
    const std::string marker = "video: drawing with ";
    std::ifstream log(logPath);
    for (std::string line; std::getline(log, line);) {
        if (line.starts_with(marker)) {
            return line.substr(marker.size());
        }
    }
    return "not named in " + logPath;
}

struct Idle {
    std::vector<double> cpuPercent, megabytes, anonMegabytes, fileMegabytes;
};

void measureIdle(pid_t pid, double seconds, Idle& idle) {
    std::this_thread::sleep_for(std::chrono::seconds(1));  // let start-up work settle
    const double cpu0 = cpuSeconds(pid);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double cpu1 = cpuSeconds(pid);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    idle.cpuPercent.push_back(100.0 * (cpu1 - cpu0) / wall);
    idle.megabytes.push_back(statusMegabytes(pid, "VmRSS:"));
    idle.anonMegabytes.push_back(statusMegabytes(pid, "RssAnon:"));
    idle.fileMegabytes.push_back(statusMegabytes(pid, "RssFile:"));
}

// Presses on the left-most card and moves across the whole hand to beyond the right-most one, in
// a window `scale` times the design size on `display` (empty: $DISPLAY).
void dragAcrossHand(int scale = 1, const std::string& display = "") {
    auto at = [scale](int x, int y) {
        return std::to_string(x * scale) + " " + std::to_string(y * scale);
    };
    std::string command = (display.empty() ? "" : "DISPLAY=" + display + " ") +
                          "xdotool mousemove " + at(200, 740) + " mousedown 1";
    for (int x = 200; x <= 830; x += 6) {
        command += " mousemove " + at(x, 740) + " sleep 0.016";
    }
    command += " mouseup 1";
    std::system(command.c_str());
}

// The settings of a client whose window was last left at width x height, under `configHome`
// (its XDG_CONFIG_HOME), with a name chosen at an earlier start (no name panel over the hall),
// the client's user's to change; false when they cannot be written.
bool keepWindowSize(const std::string& configHome, int width, int height, const Options& options) {
    const std::string folder = configHome + "/desk-client";
    const std::string file = folder + "/UserDefault.xml";
    std::filesystem::create_directories(folder);
    {
        std::ofstream settings(file);
        settings << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<userDefaultRoot><windowWidth>"
                 << width << "</windowWidth><windowHeight>" << height
                 << "</windowHeight><playerName>bench</playerName></userDefaultRoot>\n";
        if (!settings) {
            return false;
        }
    }
    if (options.user.empty()) {
        return true;
    }
    for (const std::string& path : {configHome, folder, file}) {
        if (::chown(path.c_str(), options.uid, options.gid) != 0) {
            return false;
        }
    }
    return true;
}

constexpr int kBurstPlays = 30;
// The port the clients find their server on (the client's own default).
constexpr unsigned kServerPort = 9999;

class Bench {
public:
    explicit Bench(const Options& options) : m_options(options) {}
    bool run();

private:
    // Starts the SDL client and waits for its hall; false (with a message) when none shows.
    bool startAtHall(ChildProcess& client);
    bool sdlHall();
    bool sdlDesk();
    bool sdlDeskDoubleSize();
    bool headless();
    void idleRows(const std::string& where, const Idle& idle);
    std::vector<double> burstFrames(FrameLog& frames);

    const Options& m_options;
    ScriptedServer m_server{m_options.host, kServerPort};
    XScreen m_screen;
    FrameLog m_frames{m_options.work + "/frames.log"};
    FrameLog m_headlessFrames{m_options.work + "/headless-frames.log"};
    Report m_report;
    const std::string m_display1x = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
};

bool Bench::startAtHall(ChildProcess& client) {
    m_options.applyUser(client);
    if (!client.start({m_options.client}, {"DESK_FRAME_STATS=" + m_options.work + "/frames.log"},
                      m_options.work + "/client.log", false) ||
        !pollUntil(
            [&] { return near(m_screen.pixel(kHallX, kHallY), m_options.hallColour, 24); })) {
        std::fprintf(stderr, "the client showed no hall\n");
        return false;
    }
    return true;
}

void Bench::idleRows(const std::string& where, const Idle& idle) {
    const std::string runs = " (" + std::to_string(idle.cpuPercent.size()) + " x " +
                             std::to_string(static_cast<int>(m_options.idleSeconds())) + " s)";
    m_report.add("idle CPU, " + where + runs, median(idle.cpuPercent), "%", 1);
    m_report.add("resident memory, " + where, median(idle.megabytes), "MB", 60);
    m_report.add("  of which anonymous (heap, images, sounds, drawing buffers)",
                 median(idle.anonMegabytes), "MB", -1);
    m_report.add("  of which file-backed (mostly shared libraries)", median(idle.fileMegabytes),
                 "MB", -1);
}

// Sends the burst of plays and returns the drawn frames' times once the client has shown them
// all (it takes one message per 0.1 s poll).
std::vector<double> Bench::burstFrames(FrameLog& frames) {
    frames.mark();
    m_server.sendFrames(playBurstScript(kBurstPlays));
    std::this_thread::sleep_for(std::chrono::milliseconds(kBurstPlays * 100 + 600));
    return frames.drawnSince();
}

bool Bench::sdlHall() {
    m_server.setGreeting({});
    std::vector<double> hallMs;
    Idle idle;
    for (int run = 0; run < m_options.startRuns(); ++run) {
        ChildProcess client;
        if (!startAtHall(client)) {
            return false;
        }
        hallMs.push_back(millisSince(client.startedAt()));
        if (run < m_options.idleRuns()) {
            measureIdle(client.pid(), m_options.idleSeconds(), idle);
        }
    }
    m_report.add(
        "start-up to the hall's first frame, SDL (median of " + std::to_string(hallMs.size()) + ")",
        median(hallMs), "ms", 55);
    idleRows("SDL client in the hall", idle);
    return true;
}

bool Bench::sdlDesk() {
    m_server.setGreeting(dealtDeskScript());
    std::vector<double> deskMs, burst, drag;
    Idle idle;
    for (int run = 0; run < m_options.startRuns(); ++run) {
        ChildProcess client;
        if (!startAtHall(client)) {
            return false;
        }
        const Rgb table = m_screen.pixel(kHandX, kHandY);
        if (!pollUntil([&] { return !near(m_screen.pixel(kHandX, kHandY), table, 40); })) {
            std::fprintf(stderr, "the client showed no dealt hand\n");
            return false;
        }
        deskMs.push_back(millisSince(client.startedAt()));
        if (run < m_options.idleRuns()) {
            measureIdle(client.pid(), m_options.idleSeconds(), idle);
        }
        if (run == 0) {
            burst = burstFrames(m_frames);
            m_frames.mark();
            dragAcrossHand();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            drag = m_frames.drawnSince();
        }
    }
    if (burst.size() < 10 || drag.size() < 10) {
        std::fprintf(stderr,
                     "too few frames drawn (burst %zu, drag %zu); is DESK_FRAME_STATS "
                     "supported?\n",
                     burst.size(), drag.size());
        return false;
    }
    m_report.add("start-up to a dealt desk's first frame, SDL (median of " +
                     std::to_string(deskMs.size()) + ")",
                 median(deskMs), "ms", -1);
    idleRows("SDL client at a desk, another seat's turn", idle);
    m_report.add(
        "frame time, burst of 30 plays, SDL, median (" + std::to_string(burst.size()) + " frames)",
        median(burst), "ms", -1);
    m_report.add("frame time, burst of 30 plays, SDL, worst", worst(burst), "ms", 8);
    m_report.add("frame time, drag across 27 cards, SDL, median (" + std::to_string(drag.size()) +
                     " frames)",
                 median(drag), "ms", -1);
    m_report.add("frame time, drag across 27 cards, SDL, worst", worst(drag), "ms", 4);
    return true;
}

// The client at 2048 x 1536 on its own display: drawn from the double-size images, its memory
// and its frames while dragging across the hand.
bool Bench::sdlDeskDoubleSize() {
    constexpr int kScale = 2;
    const std::string configHome = m_options.work + "/config-2x";
    if (!keepWindowSize(configHome, 1024 * kScale, 768 * kScale, m_options)) {
        std::fprintf(stderr, "cannot write the settings of the double-size client\n");
        return false;
    }
    ::setenv("DISPLAY", m_options.display2x.c_str(), 1);
    XScreen screen;
    const bool opened = screen.open();
    FrameLog frames(m_options.work + "/frames-2x.log");
    ChildProcess client;
    m_options.applyUser(client);
    const bool started =
        opened && client.start({m_options.client},
                               {"DESK_FRAME_STATS=" + m_options.work + "/frames-2x.log",
                                "XDG_CONFIG_HOME=" + configHome},
                               m_options.work + "/client-2x.log", false);
    ::setenv("DISPLAY", m_display1x.c_str(), 1);
    if (!started || !pollUntil([&] {
            return near(screen.pixel(kHallX * kScale, kHallY * kScale), m_options.hallColour, 24);
        })) {
        std::fprintf(stderr, "the double-size client showed no hall\n");
        return false;
    }
    const Rgb table = screen.pixel(kHandX * kScale, kHandY * kScale);
    if (!pollUntil(
            [&] { return !near(screen.pixel(kHandX * kScale, kHandY * kScale), table, 40); })) {
        std::fprintf(stderr, "the double-size client showed no dealt hand\n");
        return false;
    }
    Idle idle;
    measureIdle(client.pid(), m_options.quick ? 3 : 10, idle);
    frames.mark();
    dragAcrossHand(kScale, m_options.display2x);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::vector<double> drag = frames.drawnSince();
    if (drag.size() < 10) {
        std::fprintf(stderr, "too few frames drawn at double size (%zu)\n", drag.size());
        return false;
    }
    m_report.add("resident memory, SDL client at a desk, 2048 x 1536 with the double-size images",
                 median(idle.megabytes), "MB", -1);
    m_report.add("  of which anonymous", median(idle.anonMegabytes), "MB", -1);
    m_report.add("frame time, drag across 27 cards, SDL at 2048 x 1536, median (" +
                     std::to_string(drag.size()) + " frames)",
                 median(drag), "ms", -1);
    m_report.add("frame time, drag across 27 cards, SDL at 2048 x 1536, worst", worst(drag), "ms",
                 8);
    return true;
}

bool Bench::headless() {
    std::vector<double> hallMs, deskMs, burst;
    Idle hallIdle, deskIdle;
    for (bool dealt : {false, true}) {
        m_server.setGreeting(dealt ? dealtDeskScript() : std::vector<std::string>{});
        for (int run = 0; run < m_options.startRuns(); ++run) {
            ChildProcess probe;
            m_options.applyUser(probe);
            std::string line;
            if (!probe.start({m_options.headless, m_options.host},
                             {"DESK_FRAME_STATS=" + m_options.work + "/headless-frames.log"},
                             m_options.work + "/headless.log", true) ||
                !probe.readLine(line, std::chrono::seconds(10)) || line != "hall") {
                std::fprintf(stderr, "the headless client showed no hall\n");
                return false;
            }
            if (!dealt) {
                hallMs.push_back(millisSince(probe.startedAt()));
            } else if (probe.readLine(line, std::chrono::seconds(10)) && line == "desk") {
                deskMs.push_back(millisSince(probe.startedAt()));
            } else {
                std::fprintf(stderr, "the headless client showed no dealt hand\n");
                return false;
            }
            if (run < m_options.idleRuns()) {
                measureIdle(probe.pid(), m_options.idleSeconds(), dealt ? deskIdle : hallIdle);
            }
            if (dealt && run == 0) {
                burst = burstFrames(m_headlessFrames);
            }
        }
    }
    m_report.add("start-up to the hall's first frame, headless (median of " +
                     std::to_string(hallMs.size()) + ")",
                 median(hallMs), "ms", 150);
    m_report.add("start-up to a dealt desk's first frame, headless", median(deskMs), "ms", -1);
    idleRows("headless client in the hall", hallIdle);
    idleRows("headless client at a desk, another seat's turn", deskIdle);
    m_report.add("frame time, burst of 30 plays, headless, median (" +
                     std::to_string(burst.size()) + " frames)",
                 median(burst), "ms", -1);
    m_report.add("frame time, burst of 30 plays, headless, worst", worst(burst), "ms", 8);
    return true;
}

bool Bench::run() {
    if (m_server.port() == 0) {
        std::fprintf(stderr, "cannot listen on %s:%u\n", m_options.host.c_str(), kServerPort);
        return false;
    }
    m_server.serve();
    if (!m_screen.open()) {
        std::fprintf(stderr, "no X display\n");
        return false;
    }
    if (!sdlHall() || !sdlDesk() || !sdlDeskDoubleSize() || !headless()) {
        return false;
    }
    std::printf("SDL client's renderer: %s\n",
                rendererInLog(m_options.work + "/client.log").c_str());
    std::printf("the clients ran as %s\n",
                m_options.user.empty() ? "the bench's own user" : m_options.user.c_str());
    m_report.print();
    std::printf("%d target(s) missed\n", m_report.missed());
    return true;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--short") {
            options.quick = true;
            continue;
        }
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--client") {
            options.client = value;
        } else if (option == "--headless") {
            options.headless = value;
        } else if (option == "--host") {
            options.host = value;
        } else if (option == "--work") {
            options.work = value;
        } else if (option == "--display-2x") {
            options.display2x = value;
        } else if (option == "--as-user") {
            const passwd* account = ::getpwnam(value.c_str());
            if (account == nullptr) {
                return false;
            }
            options.user = value;
            options.uid = account->pw_uid;
            options.gid = account->pw_gid;
        } else if (option == "--hall-colour") {
            if (std::sscanf(value.c_str(), "%d %d %d", &options.hallColour.r, &options.hallColour.g,
                            &options.hallColour.b) != 3) {
                return false;
            }
        } else {
            return false;
        }
    }
    return !options.client.empty() && !options.headless.empty() && !options.host.empty() &&
           !options.work.empty() && !options.display2x.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: client_bench --client EXE --headless EXE --host ADDRESS "
                     "--hall-colour \"R G B\" --work DIR --display-2x DISPLAY [--as-user NAME] "
                     "[--short]\n");
        return 2;
    }
    Bench bench(options);
    return bench.run() ? 0 : 1;
}
