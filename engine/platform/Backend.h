#pragma once
// The seam between the engine's scene graph and the machine it runs on.
//
// Two implementations: the SDL back end (a real window, hardware renderer, SDL_mixer sound, the
// system's message box) and the headless back end (no window, a software renderer drawing into
// an off-screen surface, a virtual clock the test steps, message boxes and sounds recorded).
// Both load images with SDL_image and text with SDL_ttf, so sizes are real in either.
//
// Everything here is called on the main thread except showMessageBox, which any thread may call.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/input/EventKeyboard.h"
#include "engine/input/EventMouse.h"

namespace engine {

// An image in memory: a loaded PNG or a rendered line of text. Sizes in pixels.
// Each back end derives from it to keep what it needs for drawing (a surface, a renderer texture).
// Textures are made on the main thread only.
class Texture {
public:
    virtual ~Texture() = default;
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Unique to this texture for the life of the process (an address may be reused, this never):
    // two frames' drawing calls with the same serial draw the same pixels.
    std::uint64_t serial() const { return m_serial; }
    // Starts making the texture ready to draw ahead of its first draw, off the main thread where
    // the back end can (decoding an image file); drawing it then waits for what is left.
    virtual void prepare() {}

protected:
    int m_width = 0;
    int m_height = 0;

private:
    static inline std::uint64_t s_made = 0;
    std::uint64_t m_serial = ++s_made;
};

// Screen rectangles for drawing are in window pixels with the origin at the TOP-left, y down;
// the scene graph converts from its bottom-left coordinates before it calls draw.
struct PixelRect {
    float x = 0, y = 0, w = 0, h = 0;
};

struct DrawColor {
    std::uint8_t r = 255, g = 255, b = 255, a = 255;
};

// Input as the scene graph needs it: the left mouse button is the one touch; the right and middle
// buttons are pressed or released at a point (MouseDown, MouseUp); the wheel turns under the
// pointer (MouseWheel, `scroll` notches, positive towards the user); a key the engine names is
// pressed or released (auto-repeat is not reported). Exposed: the window's contents were
// lost (it was uncovered or shown again), so the scene must be drawn again although nothing in it
// changed; the back ends keep no copy of the last frame. TextInput: text committed while text input
// is on (a typed character, or what the input method composed), UTF-8 in `text`. TextEditing:
// the input method's composition so far (`text`, "" when it was cleared) with its cursor at code
// point `cursor`. Resized: the window's drawing area is now
// x by y pixels (the user resized it, or it entered or left full screen).
struct InputEvent {
    enum class Type {
        TouchBegan,
        TouchMoved,
        TouchEnded,
        MouseDown,
        MouseUp,
        MouseWheel,
        KeyPressed,
        KeyReleased,
        TextInput,
        TextEditing,
        Resized,
        Exposed,
        Minimized,
        Restored,
        Quit
    };
    Type type = Type::Quit;
    float x =
        0;  // window pixels, origin top-left (touch and mouse events); the new width (Resized)
    float y = 0;                                                    // the new height (Resized)
    EventKeyboard::KeyCode key = EventKeyboard::KeyCode::KEY_NONE;  // key events only
    EventMouse::MouseButton button = EventMouse::MouseButton::BUTTON_UNSET;  // mouse events only
    float scroll = 0;  // MouseWheel: notches turned, positive towards the user
    std::string text{};  // TextInput, TextEditing
    int cursor = 0;    // TextEditing
};

struct WindowSpec {
    std::string title;
    int width = 1024;
    int height = 768;
    bool resizable = false;
    std::string icon;  // a picture file (UTF-8 path) for the window's icon; empty for none
};

class Backend {
public:
    virtual ~Backend() = default;

    // ---- Window and frames
    // Creates the window (the headless back end only remembers the size). False on failure.
    virtual bool createWindow(const WindowSpec& spec) = 0;
    virtual bool hasWindow() const = 0;
    virtual int windowWidth() const = 0;
    virtual int windowHeight() const = 0;
    // The window's size in the system's window coordinates, in which it is created and its
    // minimum given: its pixels, except where the system scales windows (at 200 % on Windows a
    // window of 1024 x 768 has 2048 x 1536 pixels).
    virtual void windowCoordinateSize(int& width, int& height) const = 0;
    // Desktop full screen (the window covers the screen at the screen's own mode) or back to the
    // window's size before it; the new size arrives as a Resized event. False when refused.
    virtual bool setFullscreen(bool fullscreen) = 0;
    virtual bool isFullscreen() const = 0;
    // The smallest size the user may give the window, in window coordinates.
    virtual void setMinimumWindowSize(int width, int height) = 0;
    virtual void beginFrame(DrawColor background) = 0;  // clears the whole window
    virtual void draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
                      DrawColor tint) = 0;
    virtual void endFrame() = 0;  // presents

    // ---- Resources
    // Null when the file is missing or unreadable; the caller reports it.
    virtual std::shared_ptr<Texture> loadImage(const std::string& path) = 0;
    // One line of UTF-8 text in white (tinted at draw time); null when the font cannot be opened.
    // An empty text gives a texture of width 0 and the font's line height.
    virtual std::shared_ptr<Texture> renderText(const std::string& fontPath, int pointSize,
                                                const std::string& utf8) = 0;

    // ---- Time and input
    virtual double nowSeconds() = 0;  // monotonic; virtual in the headless back end
    // Appends the input that arrived; waits at most `timeoutSeconds` for the first event
    // (0 polls). The headless back end never waits: a test queues input and steps the clock.
    virtual void pollInput(std::vector<InputEvent>& out, double timeoutSeconds) = 0;

    // ---- Text input. Off until a text field asks for it: while on, typed text and the input
    // method's composition arrive as TextInput and TextEditing, and the input method shows its
    // candidates by `area` (window pixels, origin top-left).
    virtual void startTextInput(const PixelRect& area) = 0;
    virtual void stopTextInput() = 0;

    // ---- Sound (paths already resolved to files). Missing files are silent, never fatal.
    virtual void preloadMusic(const std::string& path) = 0;
    virtual void playMusic(const std::string& path, bool loop) = 0;
    virtual void stopMusic(bool releaseData) = 0;
    virtual void setMusicVolume(float volume) = 0;  // 0..1, the music playing now and later
    virtual void preloadEffect(const std::string& path) = 0;
    virtual unsigned playEffect(const std::string& path, bool loop, float pitch, float pan,
                                float gain) = 0;

    // ---- Attention. Asks the system to draw the player's eye to the window until it has the
    // input focus (a flashing task-bar entry); nothing when it has the focus already or where the
    // system offers no such thing.
    virtual void requestAttention() = 0;

    // ---- Clipboard (text, UTF-8). False when the system refused; the headless back end keeps it.
    virtual bool setClipboardText(const std::string& text) = 0;
    virtual std::string clipboardText() = 0;

    // ---- Ending the process; any thread. Returns when no thread is drawing and none will draw
    // again, so that the process can end at once (ProcessEnd.h). The SDL back end asks the main
    // thread, which lets go of its renderer and ends the process itself; it returns only when
    // the main thread has not come within a few seconds (it may be held in a modal box).
    virtual void stopDrawingForEnd(int status) = 0;

    // ---- Modal box; any thread. Blocks the calling thread until dismissed (headless: records
    // and returns at once). With no system box available the text goes to standard error.
    virtual void showMessageBox(const std::string& text, const std::string& title) = 0;
};

// The back end in use; set once at start-up (the SDL one by the process entry, the headless one
// by tests) before the director is used.
Backend& backend();
void setBackend(std::unique_ptr<Backend> backend);

}  // namespace engine
