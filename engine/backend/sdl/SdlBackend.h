#pragma once
// The real back end: one SDL window with an SDL renderer (hardware, or software on a machine
// without a GPU or when no hardware renderer can be made; see RendererChoice.h), SDL_mixer sound,
// and the system's message box.
//
// Frames are drawn straight to the window; on the software renderer only what changed is drawn
// again (render/Canvas.h). A window whose contents were lost reports Exposed, and the scene graph
// draws it again, whole. Everything runs on the main thread except showMessageBox.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform/Backend.h"

struct SDL_Renderer;
struct SDL_Window;

namespace engine {

class SdlAudio;
class SdlInput;
namespace render {
class Canvas;
}

class SdlBackend : public Backend {
public:
    SdlBackend();  // the window comes later; the audio device opens after the first frame
    ~SdlBackend() override;

    // ---- Window and frames
    bool createWindow(const WindowSpec& spec) override;
    bool hasWindow() const override { return m_window != nullptr; }
    int windowWidth() const override { return m_width; }
    int windowHeight() const override { return m_height; }
    void windowCoordinateSize(int& width, int& height) const override;
    bool setFullscreen(bool fullscreen) override;
    bool isFullscreen() const override;
    void setMinimumWindowSize(int width, int height) override;
    void beginFrame(DrawColor background) override;
    void draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
              DrawColor tint) override;
    void endFrame() override;

    // ---- Resources
    std::shared_ptr<Texture> loadImage(const std::string& path) override;
    std::shared_ptr<Texture> renderText(const std::string& fontPath, int pointSize,
                                        const std::string& utf8) override;

    // ---- Time and input
    double nowSeconds() override;
    void pollInput(std::vector<InputEvent>& out, double timeoutSeconds) override;

    // ---- Sound
    void preloadMusic(const std::string& path) override;
    void playMusic(const std::string& path, bool loop) override;
    void stopMusic(bool releaseData) override;
    void setMusicVolume(float volume) override;
    void preloadEffect(const std::string& path) override;
    unsigned playEffect(const std::string& path, bool loop, float pitch, float pan,
                        float gain) override;

    // ---- Any thread: the error box for the titles of errors, the information box otherwise
    void requestAttention() override;
    bool setClipboardText(const std::string& text) override;
    std::string clipboardText() override;
    void startTextInput(const PixelRect& area) override;
    void stopTextInput() override;
    void showMessageBox(const std::string& text, const std::string& title) override;
    // On the main thread: destroys the renderer and returns. On another: asks the main thread,
    // which destroys the renderer at its next poll and ends the process with `status`; returns
    // when it has not done so within kEndPatience.
    void stopDrawingForEnd(int status) override;

    // ---- Diagnostics
    std::string audioDriverName() const;  // "dummy" when there was no sound device
    std::string rendererName() const;     // e.g. "opengl" or "software"; empty without a window

private:
    // The renderer RendererChoice picks, falling back from hardware to software; logs which.
    SDL_Renderer* createRenderer(SDL_Window* window);
    // Reads the drawing area's size in pixels and the pointer's scale to it; true when the size
    // changed.
    bool updateSize();
    // The window's pixels are gone after these window events: the next frame is drawn whole.
    void forgetPictureOn(std::uint8_t windowEvent);
    // Appends Resized when the drawing area's size changed since the last look; true then.
    bool reportResize(std::vector<InputEvent>& out);
    // Main thread, in every poll: when another thread asked for the end, lets go of the
    // renderer and ends the process.
    void endIfAsked();
    // Main thread: the renderer and everything drawn through it are destroyed; nothing is drawn
    // after this (the canvas is gone, so frames draw nothing).
    void destroyRenderer();

    SDL_Window* m_window = nullptr;            // owned
    SDL_Renderer* m_renderer = nullptr;        // owned
    std::unique_ptr<render::Canvas> m_canvas;  // draws through m_renderer; destroyed before it
    int m_width = 0;
    int m_height = 0;
    int m_windowedWidth = 0;  // the window's size before full screen, in window coordinates
    int m_windowedHeight = 0;
    bool m_videoStarted = false;
    std::unique_ptr<SdlAudio> m_audio;
    std::unique_ptr<SdlInput> m_input;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();

    // Message boxes may be up on other threads while the main thread tears the window down: the
    // parent window is read under this lock, and a window with a box still open is left for the
    // process exit to reclaim.
    std::mutex m_boxMutex;
    SDL_Window* m_boxParent = nullptr;
    int m_boxesOpen = 0;

    // The end another thread asked for (stopDrawingForEnd), seen by the main thread at its polls.
    const std::thread::id m_mainThread = std::this_thread::get_id();  // made by the process entry
    std::atomic<bool> m_endAsked = false;
    std::atomic<int> m_endStatus = 0;  // set before m_endAsked
};

}  // namespace engine
