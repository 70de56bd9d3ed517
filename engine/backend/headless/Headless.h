#pragma once
// The test-facing side of the headless back end: no window, a virtual clock the test steps,
// message boxes and sound calls recorded, the current frame renderable to a PNG.
//
//   engine::headless::install();            // once per process, before any scene is made
//   auto* scene = engine::Scene::create(); ... Director::getInstance()->runWithScene(scene);
//   engine::headless::touchBegin(512, 384); // design coordinates, origin bottom-left
//   engine::headless::touchEnd(512, 384);
//   engine::headless::step(0.5);            // 30 frames: input, timers, scene changes, drawing
//   EXPECT_EQ(engine::headless::messageBoxes().size(), 1u);
//
// Everything runs on the calling (main) thread except the recorders: message boxes may be shown
// from any thread, and messageBoxes()/sounds()/clearRecords() may be called from any thread.

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform/Backend.h"

namespace engine::headless {

// ---- Set-up
// Installs the headless back end (a software renderer into an off-screen width x height surface)
// and gives the director a view with a design size of width x height, so that scenes can run;
// content scale 1 with the normal images, black around the design area.
// Calling it again replaces the back end and clears the records.
void install(int width = 1024, int height = 768);

// ---- Time
// Advances the virtual clock by `seconds`, one 1/60 s frame at a time; each frame runs the
// director's loop once (input, timers, the deferred scene change, drawing if something changed,
// the autorelease pool). A fraction of a frame is carried over to the next step.
void step(double seconds);
// Runs exactly `count` frames.
void stepFrames(int count);
// Moves the clock on by `seconds` without a frame, as a modal box or a busy machine holds the
// main thread; the next frame sees the whole time at once.
void stall(double seconds);
double now();  // the virtual clock, in seconds since install

// ---- Input (design coordinates, origin bottom-left; delivered at the next frame)
void touchBegin(float x, float y);
void touchMove(float x, float y);
void touchEnd(float x, float y);
// A press and release at one point, then one frame so it is handled.
void tap(float x, float y);
// A right-button press and release at one point, then one frame so it is handled.
void rightClick(float x, float y);
// The wheel turned `notches` at a point (positive towards the user, EventMouse::getScrollY), then
// one frame so it is handled.
void wheel(float x, float y, float notches);
// A key pressed or released (delivered at the next frame).
void keyPress(EventKeyboard::KeyCode key);
void keyRelease(EventKeyboard::KeyCode key);
// A press and release of one key, then one frame so it is handled.
void typeKey(EventKeyboard::KeyCode key);
// Text as SDL gives it while text input is on: committed text, or the input method's
// composition with its cursor; then one frame so it is handled.
void typeText(const std::string& committed);
void compose(const std::string& composing, int cursor);
// Whether a text field has text input on now, and the area it gave for the input method's
// candidates (window pixels, origin top-left).
bool textInputOn();
PixelRect textInputArea();
// The window's drawing area becomes width x height pixels (the design size stays); the view
// takes it at the next frame. `pixelsPerPoint`: a scaled display's pixels per window coordinate.
void resizeWindow(int width, int height, int pixelsPerPoint = 1);
bool isFullscreen();
// A press and release at a point in window pixels (origin top-left), then one frame.
void tapWindow(float x, float y);
// The colour of the last drawn frame at a window pixel; opaque black outside the surface.
DrawColor windowPixelAt(int x, int y);
// Window events for Application::run: Quit, Minimized, Restored, Exposed.
void queueEvent(InputEvent::Type type);

// ---- Records
struct RecordedBox {
    std::string text;
    std::string title;
    std::thread::id thread;  // the thread that showed it
};

enum class SoundCall { PreloadMusic, PlayMusic, StopMusic, PreloadEffect, PlayEffect };

struct RecordedSound {
    SoundCall call = SoundCall::PlayEffect;
    std::string path;          // the resource name ("sound/cp.wav"); empty for StopMusic
    bool loop = false;         // PlayMusic, PlayEffect
    bool releaseData = false;  // StopMusic
    float pitch = 1.0f, pan = 0.0f, gain = 1.0f;  // PlayEffect
};

std::vector<RecordedBox> messageBoxes();
// From now on a box shown by another thread than the one that installed the back end stays open
// (that thread waits in it) until releaseBoxes(), as the system's modal box holds its thread until
// the player dismisses it; boxes of the installing thread return at once. Release before the
// back end is replaced.
void holdBoxes();
void releaseBoxes();
std::vector<RecordedSound> sounds();
// Only the PlayEffect records' paths, in order (a shorthand for the common assertion).
std::vector<std::string> effectsPlayed();
void clearRecords();
// The music volume last given to the back end (1 until one is given).
float musicVolume();

// ---- Window focus
// Whether the virtual window has the input focus (it has from install on).
void setWindowFocused(bool focused);
// Requests for attention made while the window lacked the focus, since install.
int attentionRequests();

// ---- Pictures
// Number of frames actually drawn since install (a frame is drawn only when something changed).
int framesDrawn();
// The window pixels the last drawn frame drew again: the whole surface when it was drawn whole,
// a part when only that part changed, w or h 0 when nothing visible changed.
PixelRect lastDrawnArea();
// Draws the running scene now and writes it as a PNG; false when it cannot be written.
bool saveFrame(const std::string& pngPath);
// The colour of the last drawn frame at a point in design coordinates (origin bottom-left);
// opaque black outside the surface.
DrawColor pixelAt(float x, float y);

}  // namespace engine::headless
