#include "engine/backend/sdl/SdlBackend.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <thread>

#include "engine/backend/render/Canvas.h"
#include "engine/backend/render/SdlLoad.h"
#include "engine/backend/sdl/ComposeCache.h"
#include "engine/backend/sdl/RendererChoice.h"
#include "engine/backend/sdl/SdlAudio.h"
#include "engine/backend/sdl/SdlInput.h"
#include "engine/platform/ProcessEnd.h"

namespace engine {

namespace {

// The client titles its error boxes "错误" (start-up and version errors) and "error" (the server
// link); every other box informs.
Uint32 boxFlags(const std::string& title) {
    return title == "错误" || title == "error" ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
}

// How long a thread that asked for the end waits for the main thread to end the process before
// it ends it itself: a frame takes milliseconds, but the main thread may be held in a box.
constexpr std::chrono::seconds kEndPatience{2};

int timeoutMilliseconds(double seconds) {
    const double ms = std::ceil(seconds * 1000.0);
    return ms >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                 : static_cast<int>(ms);
}

}  // namespace

SdlBackend::SdlBackend()
    : m_audio(std::make_unique<SdlAudio>()), m_input(std::make_unique<SdlInput>()) {}

SdlBackend::~SdlBackend() {
    m_audio.reset();
    bool boxOpen = false;
    {
        std::lock_guard<std::mutex> lock(m_boxMutex);
        m_boxParent = nullptr;
        boxOpen = m_boxesOpen > 0;
    }
    if (boxOpen) {
        return;  // the open box still refers to the window; the process exit reclaims both
    }
    destroyRenderer();
    if (m_window) {
        SDL_DestroyWindow(m_window);
    }
    if (m_videoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    render::closeFonts();
}

// ---- Window and frames

bool SdlBackend::createWindow(const WindowSpec& spec) {
    if (m_window) {
        return true;
    }
    if (!m_videoStarted) {
        // The click that focuses the window also presses what is under it.
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // Windows: the program handles display scaling itself (the manifest says so too), and
        // window sizes and mouse positions are in scaled points, so that a window of 1024 x 768
        // at 200 % has 2048 x 1536 pixels and draws them all instead of being stretched.
        SDL_SetHint(SDL_HINT_WINDOWS_DPI_AWARENESS, "permonitorv2");
        SDL_SetHint(SDL_HINT_WINDOWS_DPI_SCALING, "1");
        useComposeCache();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "video: %s\n", SDL_GetError());
            return false;
        }
        m_videoStarted = true;
    }
    // High density: the drawing area gets the screen's real pixels (on systems that scale
    // windows), and the scene is laid out for that size.
    const Uint32 flags =
        SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI | (spec.resizable ? SDL_WINDOW_RESIZABLE : 0);
    SDL_Window* window = SDL_CreateWindow(spec.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, spec.width, spec.height, flags);
    if (!window) {
        std::fprintf(stderr, "video: cannot create the window: %s\n", SDL_GetError());
        return false;
    }
    // SDL starts text input with the video subsystem; the client takes text only while a text
    // field has the focus (it starts text input then), and until then an input method would take
    // the keys the desk uses (Enter, Backspace, R) for a composition.
    SDL_StopTextInput();
    if (SDL_Surface* icon = spec.icon.empty() ? nullptr : IMG_Load(spec.icon.c_str())) {
        SDL_SetWindowIcon(window, icon);
        SDL_FreeSurface(icon);
    }
    SDL_Renderer* renderer = createRenderer(window);
    if (!renderer) {
        SDL_DestroyWindow(window);
        return false;
    }
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    m_window = window;
    m_renderer = renderer;
    m_width = spec.width;
    m_height = spec.height;
    m_canvas = std::make_unique<render::Canvas>(renderer);
    updateSize();
    // SDL starts with text input on; a text field turns it on while it has the focus.
    SDL_StopTextInput();
    {
        std::lock_guard<std::mutex> lock(m_boxMutex);
        m_boxParent = window;
    }
    return true;
}

SDL_Renderer* SdlBackend::createRenderer(SDL_Window* window) {
    const RendererChoice choice = chooseRenderer(std::getenv("DESK_RENDERER"), machineHasGpu());
    std::string reason = choice.reason;
    SDL_Renderer* renderer = nullptr;
    if (choice.kind == RendererKind::Hardware) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer) {
            std::fprintf(stderr, "video: no hardware renderer (%s); drawing in software\n",
                         SDL_GetError());
            reason = "no hardware renderer";
        }
    }
    if (!renderer) {
        // Otherwise SDL backs the window surface with an OpenGL texture where it can, loading
        // the very OpenGL driver (Mesa and LLVM, without a GPU) the software renderer avoids.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!renderer) {
        std::fprintf(stderr, "video: cannot create a renderer: %s\n", SDL_GetError());
        return nullptr;
    }
    SDL_RendererInfo info;
    std::fprintf(stderr, "video: drawing with SDL's %s renderer (%s)\n",
                 SDL_GetRendererInfo(renderer, &info) == 0 ? info.name : "unknown", reason.c_str());
    return renderer;
}

bool SdlBackend::updateSize() {
    int windowW = 0;
    int windowH = 0;
    int outputW = 0;
    int outputH = 0;
    SDL_GetWindowSize(m_window, &windowW, &windowH);
    if (SDL_GetRendererOutputSize(m_renderer, &outputW, &outputH) != 0 || windowW <= 0 ||
        windowH <= 0 || outputW <= 0 || outputH <= 0) {
        return false;
    }
    m_input->setPixelScale(static_cast<float>(outputW) / static_cast<float>(windowW),
                           static_cast<float>(outputH) / static_cast<float>(windowH));
    const bool changed = outputW != m_width || outputH != m_height;
    m_width = outputW;
    m_height = outputH;
    return changed;
}

void SdlBackend::windowCoordinateSize(int& width, int& height) const {
    width = 0;
    height = 0;
    if (m_window) {
        SDL_GetWindowSize(m_window, &width, &height);
    }
}

bool SdlBackend::setFullscreen(bool fullscreen) {
    if (!m_window) {
        return false;
    }
    if (fullscreen && !isFullscreen()) {
        SDL_GetWindowSize(m_window, &m_windowedWidth, &m_windowedHeight);
    }
    if (SDL_SetWindowFullscreen(m_window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "video: cannot %s full screen: %s\n", fullscreen ? "enter" : "leave",
                     SDL_GetError());
        return false;
    }
    if (!fullscreen && m_windowedWidth > 0) {
        // Without a window manager X11 gives the window its size back without telling SDL,
        // which would go on drawing for the whole screen.
        SDL_SetWindowSize(m_window, m_windowedWidth, m_windowedHeight);
    }
    return true;
}

void SdlBackend::setMinimumWindowSize(int width, int height) {
    if (m_window) {
        SDL_SetWindowMinimumSize(m_window, width, height);
    }
}

bool SdlBackend::isFullscreen() const {
    return m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

void SdlBackend::beginFrame(DrawColor background) {
    if (m_canvas) {
        m_canvas->beginFrame(background);
    }
}

void SdlBackend::draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
                      DrawColor tint) {
    if (m_canvas) {
        m_canvas->draw(texture, source, target, tint);
    }
}

void SdlBackend::endFrame() {
    if (m_canvas) {
        m_canvas->endFrame();
    }
    m_audio->startOpening();  // once the first frame is shown: nothing before it waits for sound
}

// ---- Resources

std::shared_ptr<Texture> SdlBackend::loadImage(const std::string& path) {
    return render::loadImage(path);
}

std::shared_ptr<Texture> SdlBackend::renderText(const std::string& fontPath, int pointSize,
                                                const std::string& utf8) {
    return render::renderText(fontPath, pointSize, utf8);
}

// ---- Attention

void SdlBackend::requestAttention() {
    if (m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_INPUT_FOCUS) == 0) {
        SDL_FlashWindow(m_window, SDL_FLASH_UNTIL_FOCUSED);
    }
}

// ---- Clipboard

bool SdlBackend::setClipboardText(const std::string& text) {
    return SDL_SetClipboardText(text.c_str()) == 0;
}

std::string SdlBackend::clipboardText() {
    char* text = SDL_GetClipboardText();  // never null; "" on failure
    std::string copy = text != nullptr ? text : "";
    SDL_free(text);
    return copy;
}

// ---- Text input

void SdlBackend::startTextInput(const PixelRect& area) {
    SDL_Rect rect = m_input->windowRect(area);
    SDL_SetTextInputRect(&rect);
    SDL_StartTextInput();
}

void SdlBackend::stopTextInput() { SDL_StopTextInput(); }

// ---- Time and input

double SdlBackend::nowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

void SdlBackend::pollInput(std::vector<InputEvent>& out, double timeoutSeconds) {
    endIfAsked();
    if (!m_window) {
        if (timeoutSeconds > 0) {
            std::this_thread::sleep_for(std::chrono::duration<double>(timeoutSeconds));
        }
        return;
    }
    SDL_Event event;
    bool got = timeoutSeconds > 0
                   ? SDL_WaitEventTimeout(&event, timeoutMilliseconds(timeoutSeconds)) == 1
                   : SDL_PollEvent(&event) == 1;
    while (got) {
        if (event.type == SDL_WINDOWEVENT) {
            reportResize(out);
            forgetPictureOn(event.window.event);
        }
        if (auto input = m_input->translate(event)) {
            out.push_back(*input);
        }
        got = SDL_PollEvent(&event) == 1;
    }
    endIfAsked();
}

void SdlBackend::forgetPictureOn(std::uint8_t windowEvent) {
    switch (windowEvent) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (m_canvas) {
                m_canvas->forgetPicture();
            }
            break;
        default:
            break;
    }
}

bool SdlBackend::reportResize(std::vector<InputEvent>& out) {
    if (!updateSize()) {
        return false;
    }
    InputEvent resized;
    resized.type = InputEvent::Type::Resized;
    resized.x = static_cast<float>(m_width);
    resized.y = static_cast<float>(m_height);
    out.push_back(resized);
    return true;
}

// ---- Sound

void SdlBackend::preloadMusic(const std::string& path) {
    m_audio->preloadMusic(path);
}

void SdlBackend::playMusic(const std::string& path, bool loop) {
    m_audio->playMusic(path, loop);
}

void SdlBackend::stopMusic(bool releaseData) {
    m_audio->stopMusic(releaseData);
}

void SdlBackend::setMusicVolume(float volume) {
    m_audio->setMusicVolume(volume);
}

void SdlBackend::preloadEffect(const std::string& path) {
    m_audio->preloadEffect(path);
}

unsigned SdlBackend::playEffect(const std::string& path, bool loop, float /*pitch*/, float pan,
                                float gain) {
    return m_audio->playEffect(path, loop, pan, gain);
}

// ---- Message box (any thread)

void SdlBackend::showMessageBox(const std::string& text, const std::string& title) {
    SDL_Window* parent = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_boxMutex);
        parent = m_boxParent;
        ++m_boxesOpen;
    }
    const int result =
        SDL_ShowSimpleMessageBox(boxFlags(title), title.c_str(), text.c_str(), parent);
    {
        std::lock_guard<std::mutex> lock(m_boxMutex);
        --m_boxesOpen;
    }
    if (result != 0) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
}

// ---- Ending the process

// any thread
void SdlBackend::stopDrawingForEnd(int status) {
    if (std::this_thread::get_id() == m_mainThread) {
        destroyRenderer();
        return;
    }
    m_endStatus = status;
    m_endAsked = true;
    if (m_videoStarted) {
        SDL_Event wake{};  // the main thread may be waiting for input
        wake.type = SDL_USEREVENT;
        SDL_PushEvent(&wake);
    }
    std::this_thread::sleep_for(kEndPatience);
}

// main thread
void SdlBackend::endIfAsked() {
    if (!m_endAsked) {
        return;
    }
    destroyRenderer();
    terminateProcessNow(m_endStatus);
}

// main thread
void SdlBackend::destroyRenderer() {
    m_canvas.reset();
    if (m_renderer) {
        SDL_DestroyRenderer(m_renderer);
        m_renderer = nullptr;
    }
}

// ---- Diagnostics

std::string SdlBackend::audioDriverName() const {
    return m_audio->driverName();
}

std::string SdlBackend::rendererName() const {
    SDL_RendererInfo info;
    if (!m_renderer || SDL_GetRendererInfo(m_renderer, &info) != 0) {
        return "";
    }
    return info.name;
}

}  // namespace engine
