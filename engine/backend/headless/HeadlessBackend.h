#pragma once
// The Backend used by tests: draws with SDL's software renderer into an off-screen surface, keeps
// a virtual clock, takes input queued by the test and records message boxes and sound calls.
// See Headless.h for the functions tests call.

#include <SDL.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/backend/headless/Headless.h"
#include "engine/backend/render/Canvas.h"
#include "engine/platform/Backend.h"

namespace engine::headless {

class HeadlessBackend : public Backend {
public:
    HeadlessBackend(int width, int height);
    ~HeadlessBackend() override;

    // ---- Backend
    bool createWindow(const WindowSpec& spec) override;
    bool hasWindow() const override { return m_hasWindow; }
    int windowWidth() const override { return m_width; }
    int windowHeight() const override { return m_height; }
    void windowCoordinateSize(int& width, int& height) const override;
    // Only recorded: the surface keeps its size until the test resizes it.
    bool setFullscreen(bool fullscreen) override;
    bool isFullscreen() const override { return m_fullscreen; }
    void setMinimumWindowSize(int, int) override {}  // no person resizes this window
    void beginFrame(DrawColor background) override;
    void draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
              DrawColor tint) override;
    void endFrame() override;
    std::shared_ptr<Texture> loadImage(const std::string& path) override;
    std::shared_ptr<Texture> renderText(const std::string& fontPath, int pointSize,
                                        const std::string& utf8) override;
    double nowSeconds() override { return m_now; }
    // Hands over the queued input; with none queued, a wait advances the virtual clock instead.
    void pollInput(std::vector<InputEvent>& out, double timeoutSeconds) override;
    void preloadMusic(const std::string& path) override;
    void playMusic(const std::string& path, bool loop) override;
    void stopMusic(bool releaseData) override;
    void setMusicVolume(float volume) override { m_musicVolume = volume; }
    void preloadEffect(const std::string& path) override;
    unsigned playEffect(const std::string& path, bool loop, float pitch, float pan,
                        float gain) override;
    // Counts the requests made while the virtual window lacks the focus.
    void requestAttention() override;
    bool setClipboardText(const std::string& text) override;
    std::string clipboardText() override { return m_clipboard; }
    // Kept for asserts: whether text input is on, and the area asked for last.
    void startTextInput(const PixelRect& area) override;
    void stopTextInput() override;
    void showMessageBox(const std::string& text, const std::string& title) override;
    // Nothing draws off the test's own thread: returns at once.
    void stopDrawingForEnd(int /*status*/) override {}

    // ---- Test side
    void setNow(double seconds) { m_now = seconds; }
    // A new surface of width x height pixels (blank until the next frame) and a queued Resized
    // event; `pixelsPerPoint` pixels per window coordinate, as on a scaled display.
    void resize(int width, int height, int pixelsPerPoint = 1);
    void setFocused(bool focused) { m_focused = focused; }
    int attentionRequests() const { return m_attentionRequests; }
    void queue(const InputEvent& event) { m_input.push_back(event); }
    // Queues what SDL gives for typed or composed text (TextInput, TextEditing).
    void queueText(const std::string& committed);
    void queueComposition(const std::string& composing, int cursor);
    bool textInputOn() const { return m_textInputOn; }
    const PixelRect& textInputArea() const { return m_textInputArea; }
    std::vector<RecordedBox> boxes() const;
    // Boxes of other threads than the constructing one wait while held (Headless.h holdBoxes).
    void holdBoxes(bool held);
    std::vector<RecordedSound> soundRecords() const;
    void clearRecords();
    int framesDrawn() const { return m_framesDrawn; }
    PixelRect lastDrawnArea() const;
    float musicVolume() const { return m_musicVolume; }
    bool savePng(const std::string& path) const;
    DrawColor pixel(int x, int y) const;  // window pixels, origin top-left

private:
    void makeSurface(int width, int height);
    void freeSurface();
    void record(RecordedSound sound);

    int m_width = 0;
    int m_height = 0;
    int m_pixelsPerPoint = 1;
    bool m_hasWindow = false;
    bool m_fullscreen = false;
    SDL_Surface* m_surface = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    std::unique_ptr<render::Canvas> m_canvas;
    double m_now = 0;
    int m_framesDrawn = 0;
    float m_musicVolume = 1.0f;
    std::vector<InputEvent> m_input;
    bool m_focused = true;
    int m_attentionRequests = 0;
    std::string m_clipboard;  // what setClipboardText put there
    bool m_textInputOn = false;
    PixelRect m_textInputArea;

    mutable std::mutex m_recordsMutex;  // guards the two records below and m_boxesHeld
    std::vector<RecordedBox> m_boxes;
    std::vector<RecordedSound> m_sounds;
    bool m_boxesHeld = false;
    std::condition_variable m_boxesReleased;
    std::thread::id m_mainThread = std::this_thread::get_id();
};

}  // namespace engine::headless
