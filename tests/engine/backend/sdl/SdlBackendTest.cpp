// The SDL back end in a real window on a private X server: the window, a presented frame, the
// left button as the touch, window events, message boxes from another thread, the end asked for
// by another thread, silent audio.

#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "engine/backend/sdl/SdlBackend.h"
#include "engine/platform/FileUtils.h"
#include "tests/engine/backend/sdl/Xvfb.h"
#include "tests/kit/PicturePath.h"

namespace {

using desktest::runCommand;
using engine::InputEvent;

constexpr const char* kTitle = "Desk window test";

std::string describe(const std::vector<InputEvent>& events) {
    std::ostringstream out;
    for (const InputEvent& e : events) {
        switch (e.type) {
            case InputEvent::Type::TouchBegan:
                out << "began " << e.x << "," << e.y << "; ";
                break;
            case InputEvent::Type::TouchMoved:
                out << "moved " << e.x << "," << e.y << "; ";
                break;
            case InputEvent::Type::TouchEnded:
                out << "ended " << e.x << "," << e.y << "; ";
                break;
            case InputEvent::Type::MouseDown:
            case InputEvent::Type::MouseUp:
                out << (e.button == engine::EventMouse::MouseButton::BUTTON_RIGHT ? "right " : "other ")
                    << (e.type == InputEvent::Type::MouseDown ? "down " : "up ") << e.x << ","
                    << e.y << "; ";
                break;
            case InputEvent::Type::MouseWheel:
                out << "wheel " << e.scroll << " at " << e.x << "," << e.y << "; ";
                break;
            case InputEvent::Type::KeyPressed:
                out << "pressed " << static_cast<int>(e.key) << "; ";
                break;
            case InputEvent::Type::KeyReleased:
                out << "released " << static_cast<int>(e.key) << "; ";
                break;
            case InputEvent::Type::TextInput:
                out << "text " << e.text << "; ";
                break;
            case InputEvent::Type::TextEditing:
                out << "editing " << e.text << " at " << e.cursor << "; ";
                break;
            case InputEvent::Type::Resized:
                out << "resized " << e.x << "x" << e.y << "; ";
                break;
            case InputEvent::Type::Exposed:
                out << "exposed; ";
                break;
            case InputEvent::Type::Minimized:
                out << "minimized; ";
                break;
            case InputEvent::Type::Restored:
                out << "restored; ";
                break;
            case InputEvent::Type::Quit:
                out << "quit; ";
                break;
        }
    }
    return out.str();
}

class SdlWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_x.running()) << "Xvfb did not start";
        m_backend = std::make_unique<engine::SdlBackend>();
        ASSERT_TRUE(m_backend->createWindow({kTitle, 1024, 768, false, {}}));
        m_window = m_probe.waitForWindowNamed(kTitle, 5.0);
        ASSERT_FALSE(m_window.empty()) << "the window did not appear";
        pump(0.1);  // the window's own start-up events (its first exposure)
    }

    // Input that arrives within `seconds`, pumping the event loop like the director does.
    std::vector<InputEvent> pump(double seconds = 0.3) {
        std::vector<InputEvent> events;
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            m_backend->pollInput(events, 0.05);
        }
        return events;
    }

    void xdotool(const std::string& args) {
        ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args;
    }

    desktest::Xvfb m_x;
    desktest::XProbe m_probe;  // connects to m_x
    std::unique_ptr<engine::SdlBackend> m_backend;
    std::string m_window;  // X window id of the game window
};

TEST_F(SdlWindowTest, OpensFixedSizeWindowWithTitle) {
    pump(0.1);
    EXPECT_EQ(runCommand("xdotool getwindowgeometry " + m_window + " | grep Geometry"),
              "  Geometry: 1024x768");
    const std::string hints = runCommand("xprop -id " + m_window + " WM_NORMAL_HINTS");
    EXPECT_NE(hints.find("minimum size: 1024 by 768"), std::string::npos) << hints;
    EXPECT_NE(hints.find("maximum size: 1024 by 768"), std::string::npos) << hints;
    EXPECT_EQ(m_backend->windowWidth(), 1024);
    EXPECT_EQ(m_backend->windowHeight(), 768);
    EXPECT_FALSE(m_backend->rendererName().empty());
}

// The colour of one pixel of the game window as the X server shows it, as "#RRGGBB".
std::string screenPixel(const std::string& window, int x, int y) {
    return runCommand("import -window " + window + " -crop 1x1+" + std::to_string(x) + "+" +
                      std::to_string(y) + " -depth 8 txt:- | grep -o '#[0-9A-F]\\{6\\}' | head -1");
}

TEST_F(SdlWindowTest, PresentsDrawnFrameAndAsksForItAgainAfterBeingHidden) {
    const std::string png = testing::TempDir() + "sdl_orange.png";
    ASSERT_EQ(std::system(("convert -size 64x64 xc:'#FF8000' " + png).c_str()), 0);
    auto image = m_backend->loadImage(png);
    ASSERT_TRUE(image);
    auto drawFrame = [&] {
        m_backend->beginFrame({0, 0, 0, 255});
        m_backend->draw(*image, {0, 0, 64, 64}, {100, 200, 128, 64}, {});
        m_backend->endFrame();
    };
    drawFrame();
    pump(0.1);
    EXPECT_EQ(screenPixel(m_window, 164, 230), "#FF8000");
    EXPECT_EQ(screenPixel(m_window, 20, 20), "#000000");
    EXPECT_EQ(screenPixel(m_window, 240, 230), "#000000");
    runCommand("import -window " + m_window + " " + picturePath("sdl_window.png"));

    // Hiding the window (what minimizing does) loses its contents; showing it again reports the
    // exposure, and the frame the director then draws is on screen.
    xdotool("windowunmap --sync " + m_window);
    EXPECT_EQ(describe(pump()), "minimized; ");
    xdotool("windowmap --sync " + m_window);
    EXPECT_EQ(describe(pump()), "restored; exposed; ");
    drawFrame();
    pump(0.1);
    EXPECT_EQ(screenPixel(m_window, 164, 230), "#FF8000");
    EXPECT_EQ(screenPixel(m_window, 240, 230), "#000000");
}

// On the software renderer a frame that moves one image draws and shows only that part of the
// window: the image is seen at its new place, no longer at its old one, and the rest is kept.
TEST_F(SdlWindowTest, AFrameThatMovesOneImageShowsItMoved) {
    if (m_backend->rendererName() != "software") {
        GTEST_SKIP() << "drawn whole on the " << m_backend->rendererName() << " renderer";
    }
    const std::string orange = testing::TempDir() + "sdl_move_orange.png";
    const std::string blue = testing::TempDir() + "sdl_move_blue.png";
    ASSERT_EQ(std::system(("convert -size 64x64 xc:'#FF8000' " + orange).c_str()), 0);
    ASSERT_EQ(std::system(("convert -size 64x64 xc:'#0040FF' " + blue).c_str()), 0);
    auto movingImage = m_backend->loadImage(orange);
    auto stillImage = m_backend->loadImage(blue);
    ASSERT_TRUE(movingImage && stillImage);
    auto drawFrame = [&](float movingX) {
        m_backend->beginFrame({0, 0, 0, 255});
        m_backend->draw(*stillImage, {0, 0, 64, 64}, {600, 400, 64, 64}, {});
        m_backend->draw(*movingImage, {0, 0, 64, 64}, {movingX, 200, 64, 64}, {});
        m_backend->endFrame();
    };
    const struct {
        int x, y;
        const char* whole;  // after the first frame, drawn whole
        const char* moved;  // after the second, the orange image moved from x 100 to 300
    } points[] = {
        {130, 230, "#FF8000", "#000000"},  // where the orange image was
        {330, 230, "#000000", "#FF8000"},  // where it went
        {630, 430, "#0040FF", "#0040FF"},  // the blue image, untouched
        {20, 20, "#000000", "#000000"},
    };
    drawFrame(100);
    pump(0.1);
    for (const auto& p : points) {
        EXPECT_EQ(screenPixel(m_window, p.x, p.y), p.whole) << p.x << "," << p.y;
    }
    drawFrame(300);
    pump(0.1);
    for (const auto& p : points) {
        EXPECT_EQ(screenPixel(m_window, p.x, p.y), p.moved) << p.x << "," << p.y;
    }
}

// The OpenGL libraries mapped into this process, one path per line; empty when there are none.
std::string mappedOpenGlLibraries() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    std::string found;
    while (std::getline(maps, line)) {
        for (const char* name : {"libGL", "libEGL", "libLLVM", "_dri.so"}) {
            if (line.find(name) != std::string::npos &&
                found.find(line.substr(line.find('/'))) == std::string::npos) {
                found += line.substr(line.find('/')) + "\n";
            }
        }
    }
    return found;
}

// Mesa's OpenGL with its LLVM JIT is some 60 MB resident: the software renderer must not load
// it, not even for the window surface.
TEST(SdlSoftwareRenderer, LoadsNoOpenGlLibrary) {
    desktest::Xvfb x;
    ASSERT_TRUE(x.running());
    if (const std::string before = mappedOpenGlLibraries(); !before.empty()) {
        GTEST_SKIP() << "an earlier test in this process loaded OpenGL:\n" << before;
    }
    setenv("DESK_RENDERER", "software", 1);
    engine::SdlBackend backend;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(backend.createWindow({kTitle, 1024, 768, false, {}}));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(backend.rendererName(), "software");
    EXPECT_NE(err.find("drawing with SDL's software renderer (DESK_RENDERER=software)"),
              std::string::npos)
        << err;
    backend.beginFrame({0, 0, 0, 255});
    backend.endFrame();
    std::vector<InputEvent> events;
    backend.pollInput(events, 0.1);
    EXPECT_EQ(mappedOpenGlLibraries(), "");
}

// With no usable OpenGL library no hardware renderer can be made; the window draws in software.
TEST(SdlRendererFallback, DrawsInSoftwareWithoutHardwareRenderer) {
    desktest::Xvfb x;
    ASSERT_TRUE(x.running());
    setenv("DESK_RENDERER", "hardware", 1);  // tried first even on a machine without a GPU
    for (const char* library :
         {"SDL_OPENGL_LIBRARY", "SDL_VIDEO_GL_DRIVER", "SDL_VIDEO_EGL_DRIVER"}) {
        setenv(library, "/nonexistent/libGL.so.1", 1);
    }
    engine::SdlBackend backend;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(backend.createWindow({kTitle, 1024, 768, false, {}}));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(backend.rendererName(), "software");
    EXPECT_NE(err.find("drawing in software"), std::string::npos) << err;

    const std::string png = testing::TempDir() + "sdl_green.png";
    ASSERT_EQ(std::system(("convert -size 16x16 xc:'#00C040' " + png).c_str()), 0);
    auto image = backend.loadImage(png);
    ASSERT_TRUE(image);
    backend.beginFrame({0, 0, 0, 255});
    backend.draw(*image, {0, 0, 16, 16}, {0, 0, 1024, 768}, {});
    backend.endFrame();
    std::vector<InputEvent> events;
    backend.pollInput(events, 0.1);
    const std::string window = desktest::XProbe().waitForWindowNamed(kTitle, 5.0);
    EXPECT_EQ(screenPixel(window, 512, 384), "#00C040");
}

TEST_F(SdlWindowTest, LeftButtonIsTheOneTouchTheRightAMouseButton) {
    const std::string move = "mousemove --sync --window " + m_window + " ";
    xdotool(move + "100 200");
    xdotool("mousedown 1");
    xdotool(move + "150 250");
    xdotool("mouseup 1");
    EXPECT_EQ(describe(pump()), "began 100,200; moved 150,250; ended 150,250; ");
    // The right button is a mouse event, not a touch; motion with no button held is nothing.
    xdotool(move + "300 300");
    xdotool("click 3");
    xdotool(move + "310 320");
    EXPECT_EQ(describe(pump()), "right down 300,300; right up 300,300; ");
}

TEST_F(SdlWindowTest, NamedKeysArePressedAndReleasedOthersAreDropped) {
    using K = engine::EventKeyboard::KeyCode;
    auto code = [](K key) { return std::to_string(static_cast<int>(key)); };
    xdotool("windowfocus --sync " + m_window);
    xdotool("key --window " + m_window + " Return h Escape");
    EXPECT_EQ(describe(pump()),
              "pressed " + code(K::KEY_ENTER) + "; released " + code(K::KEY_ENTER) + "; pressed " +
                  code(K::KEY_H) + "; released " + code(K::KEY_H) + "; pressed " +
                  code(K::KEY_ESCAPE) + "; released " + code(K::KEY_ESCAPE) + "; ");
    // A key the engine does not name (Pause) is not input at all.
    xdotool("key --window " + m_window + " Pause");
    EXPECT_EQ(describe(pump()), "");
    // Text comes only while a text field has text input on.
    m_backend->startTextInput(engine::PixelRect{10, 10, 200, 40});
    xdotool("key --window " + m_window + " h");
    EXPECT_EQ(describe(pump()), "pressed " + code(K::KEY_H) + "; text h; released " +
                                    code(K::KEY_H) + "; ");
    m_backend->stopTextInput();
    xdotool("key --window " + m_window + " h");
    EXPECT_EQ(describe(pump()),
              "pressed " + code(K::KEY_H) + "; released " + code(K::KEY_H) + "; ");
}

TEST_F(SdlWindowTest, ClosingTheWindowIsQuit) {
    ASSERT_TRUE(m_probe.requestClose(m_window));
    EXPECT_EQ(describe(pump()), "quit; ");
}

TEST_F(SdlWindowTest, IdlePollSleepsUntilTheTimeout) {
    pump(0.2);  // the window's own start-up events
    std::vector<InputEvent> events;
    const auto start = std::chrono::steady_clock::now();
    m_backend->pollInput(events, 0.25);
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(events.empty());
    EXPECT_GE(waited, 0.2);
    EXPECT_LT(waited, 1.0);
}

TEST_F(SdlWindowTest, MessageBoxOnAnotherThreadLeavesTheMainLoopRunning) {
    std::atomic<bool> dismissed{false};
    std::thread receiver([&] {
        m_backend->showMessageBox("与服务器断开连接!", "error");
        dismissed = true;
    });
    const std::string box = m_probe.waitForWindowNamed("error", 5.0);
    if (box.empty()) {
        receiver.detach();  // the process ends with the test
        FAIL() << "no message box appeared";
    }
    int frames = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < end) {
        m_backend->beginFrame({0, 0, 0, 255});
        m_backend->endFrame();
        std::vector<InputEvent> events;
        m_backend->pollInput(events, 1.0 / 60);
        ++frames;
    }
    EXPECT_GE(frames, 5);
    EXPECT_FALSE(dismissed);
    xdotool("windowfocus --sync " + box + " key Return");
    receiver.join();
    EXPECT_TRUE(dismissed);
}

// An end asked for by another thread, in a child process with a window of its own. The main
// thread draws and polls (or is held elsewhere, as in a box of its own); the asking thread gives
// status 99 should stopDrawingForEnd return. The child's exit status, or -1 when it has not ended
// within 10 s (then killed).
int endAskedOffTheMainThread(bool mainThreadPolls) {
    const pid_t child = fork();
    if (child == 0) {
        engine::SdlBackend backend;
        if (!backend.createWindow({kTitle, 320, 240, false, {}})) {
            std::_Exit(98);
        }
        std::thread asker([&backend] {
            backend.stopDrawingForEnd(7);
            std::_Exit(99);
        });
        for (;;) {
            if (!mainThreadPolls) {
                std::this_thread::sleep_for(std::chrono::seconds(1));
                continue;
            }
            backend.beginFrame({0, 0, 0, 255});
            backend.endFrame();
            std::vector<InputEvent> events;
            backend.pollInput(events, 1.0 / 60);
        }
    }
    if (child < 0) {
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SdlBackendEnd, TheMainThreadEndsTheProcessAtItsPollOrTheAskerAfterItsPatience) {
    desktest::Xvfb x;
    ASSERT_TRUE(x.running()) << "Xvfb did not start";
    struct Case {
        bool mainThreadPolls;
        int status;  // 7: the main thread ended it; 99: stopDrawingForEnd returned to the asker
    };
    for (const Case& c : {Case{true, 7}, Case{false, 99}}) {
        EXPECT_EQ(endAskedOffTheMainThread(c.mainThreadPolls), c.status)
            << (c.mainThreadPolls ? "main thread polling" : "main thread held");
    }
}

TEST(SdlBackend, MessageBoxWithNoDisplayGoesToStandardError) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    engine::SdlBackend backend;
    testing::internal::CaptureStderr();
    backend.showMessageBox("连接服务器失败！请检查网络是否正常。", "错误");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("错误: 连接服务器失败！请检查网络是否正常。\n"), std::string::npos) << err;
}

// A mono 16-bit WAV of silence, enough for SDL_mixer to load.
void writeSilentWav(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const std::uint32_t samples = 4410;
    out << "RIFF";
    u32(36 + samples * 2);
    out << "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(44100);
    u32(44100 * 2);
    u16(2);
    u16(16);
    out << "data";
    u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i) {
        u16(0);
    }
}

TEST(SdlBackend, MissingSoundDeviceFallsBackToSilentDriver) {
    setenv("SDL_AUDIODRIVER", "no-such-device", 1);
    testing::internal::CaptureStderr();
    engine::SdlBackend backend;
    EXPECT_EQ(backend.audioDriverName(), "dummy");  // once the opening thread is done
    const std::string wav = testing::TempDir() + "sdl_silence.wav";
    writeSilentWav(wav);
    backend.preloadEffect(wav);
    const unsigned channel = backend.playEffect(wav, false, 1.0f, -0.5f, 0.5f);
    const std::string missing = testing::TempDir() + "no-such-sound.wav";
    backend.preloadEffect(missing);  // fails on the worker thread, reported at the play
    const unsigned none1 = backend.playEffect(missing, false, 1.0f, 0.0f, 1.0f);
    const unsigned none2 = backend.playEffect(missing, false, 1.0f, 0.0f, 1.0f);
    backend.playMusic(testing::TempDir() + "no-such-music.mp3", true);
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_GT(channel, 0u);
    EXPECT_EQ(none1, 0u);
    EXPECT_EQ(none2, 0u);
    // Each missing file is reported once, however often it is asked for.
    const auto first = err.find("no-such-sound.wav");
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("no-such-sound.wav", first + 1), std::string::npos) << err;
    EXPECT_NE(err.find("no-such-music.mp3"), std::string::npos) << err;
}

TEST(SdlBackend, EveryShippedSoundDecodesAndPlays) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // silent even where a sound card exists
    engine::SdlBackend backend;
    ASSERT_EQ(backend.audioDriverName(), "dummy");  // once the opening thread is done
    auto path = [](const std::string& name) {
        return engine::FileUtils::getInstance()->fullPathForFilename("sound/" + name);
    };
    testing::internal::CaptureStderr();
    backend.preloadMusic(path("bj.mp3"));
    backend.playMusic(path("bj.mp3"), true);
    const char* effects[] = {"3.mp3", "cp.wav", "at.wav", "boom.mp3", "bg.wav", "by.mp3",
                             "jg.wav", "win.mp3", "lose.mp3"};
    // All preloaded first, as start-up does: the worker decodes them while they are played, in
    // the opposite order, so most plays wait for an effect still queued.
    for (const char* effect : effects) {
        backend.preloadEffect(path(effect));
    }
    backend.preloadEffect(path("turn.wav"));  // never played: freed with the back end
    for (auto effect = std::rbegin(effects); effect != std::rend(effects); ++effect) {
        EXPECT_GT(backend.playEffect(path(*effect), false, 1.0f, 0.0f, 1.0f), 0u) << *effect;
    }
    backend.stopMusic(true);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("cannot load"), std::string::npos) << err;
}

// The device opens on a thread of its own once the first frame is shown (here, with no window,
// when asked for its driver): what start-up asks before (the hall music, its volume, the
// preloads) is done once it is open.
TEST(SdlBackend, CallsBeforeTheDeviceOpenedAreDoneOnceItIs) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    engine::SdlBackend backend;
    auto path = [](const std::string& name) {
        return engine::FileUtils::getInstance()->fullPathForFilename("sound/" + name);
    };
    backend.setMusicVolume(0.5f);
    backend.playMusic(path("bj.mp3"), true);
    backend.preloadEffect(path("cp.wav"));
    ASSERT_EQ(backend.audioDriverName(), "dummy");
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME / 2);
    EXPECT_GT(backend.playEffect(path("cp.wav"), false, 1.0f, 0.0f, 1.0f), 0u);
    backend.stopMusic(true);
}

}  // namespace
