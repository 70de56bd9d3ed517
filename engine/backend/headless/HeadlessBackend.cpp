#include "engine/backend/headless/HeadlessBackend.h"

#include <SDL_image.h>

#include <cstdio>

#include "engine/backend/render/SdlLoad.h"
#include "engine/platform/FileUtils.h"

namespace engine::headless {

HeadlessBackend::HeadlessBackend(int width, int height) {
    makeSurface(width, height);
}

HeadlessBackend::~HeadlessBackend() {
    freeSurface();
}

void HeadlessBackend::makeSurface(int width, int height) {
    m_width = width;
    m_height = height;
    m_surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (m_surface) {
        m_renderer = SDL_CreateSoftwareRenderer(m_surface);
    }
    if (!m_renderer) {
        std::fprintf(stderr, "engine: headless renderer: %s\n", SDL_GetError());
        return;
    }
    m_canvas = std::make_unique<render::Canvas>(m_renderer);
    m_canvas->beginFrame({0, 0, 0, 255});  // blank until the first frame
    m_canvas->endFrame();
}

void HeadlessBackend::freeSurface() {
    m_canvas.reset();
    if (m_renderer) {
        SDL_DestroyRenderer(m_renderer);
        m_renderer = nullptr;
    }
    if (m_surface) {
        SDL_FreeSurface(m_surface);
        m_surface = nullptr;
    }
}

void HeadlessBackend::windowCoordinateSize(int& width, int& height) const {
    width = m_width / m_pixelsPerPoint;
    height = m_height / m_pixelsPerPoint;
}

void HeadlessBackend::resize(int width, int height, int pixelsPerPoint) {
    m_pixelsPerPoint = pixelsPerPoint > 0 ? pixelsPerPoint : 1;
    freeSurface();
    makeSurface(width, height);
    InputEvent event;
    event.type = InputEvent::Type::Resized;
    event.x = static_cast<float>(width);
    event.y = static_cast<float>(height);
    queue(event);
}

bool HeadlessBackend::setFullscreen(bool fullscreen) {
    m_fullscreen = fullscreen;
    return true;
}

bool HeadlessBackend::createWindow(const WindowSpec& spec) {
    m_hasWindow = true;
    (void)spec;  // the surface keeps the size given at install
    return true;
}

void HeadlessBackend::beginFrame(DrawColor background) {
    if (m_canvas) {
        m_canvas->beginFrame(background);
    }
}

void HeadlessBackend::draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
                           DrawColor tint) {
    if (m_canvas) {
        m_canvas->draw(texture, source, target, tint);
    }
}

void HeadlessBackend::endFrame() {
    if (m_canvas) {
        m_canvas->endFrame();
    }
    ++m_framesDrawn;
}

PixelRect HeadlessBackend::lastDrawnArea() const {
    if (!m_canvas) {
        return {};
    }
    const render::PixelArea& area = m_canvas->lastDrawnArea();
    return {static_cast<float>(area.x0), static_cast<float>(area.y0),
            static_cast<float>(area.x1 - area.x0), static_cast<float>(area.y1 - area.y0)};
}

std::shared_ptr<Texture> HeadlessBackend::loadImage(const std::string& path) {
    return render::loadImage(path);
}

std::shared_ptr<Texture> HeadlessBackend::renderText(const std::string& fontPath, int pointSize,
                                                     const std::string& utf8) {
    return render::renderText(fontPath, pointSize, utf8);
}

void HeadlessBackend::pollInput(std::vector<InputEvent>& out, double timeoutSeconds) {
    if (m_input.empty()) {
        if (timeoutSeconds > 0) {
            m_now += timeoutSeconds;
        }
        return;
    }
    for (const InputEvent& event : m_input) {
        if (event.type == InputEvent::Type::Exposed && m_canvas) {
            m_canvas->forgetPicture();  // as a window's surface would have
        }
    }
    out.insert(out.end(), m_input.begin(), m_input.end());
    m_input.clear();
}

void HeadlessBackend::record(RecordedSound sound) {
    if (!sound.path.empty()) {
        sound.path = FileUtils::getInstance()->resourceNameOf(sound.path);
    }
    std::lock_guard<std::mutex> lock(m_recordsMutex);
    m_sounds.push_back(std::move(sound));
}

namespace {
RecordedSound soundCall(SoundCall call, const std::string& path, bool loop = false) {
    RecordedSound sound;
    sound.call = call;
    sound.path = path;
    sound.loop = loop;
    return sound;
}
}  // namespace

void HeadlessBackend::preloadMusic(const std::string& path) {
    record(soundCall(SoundCall::PreloadMusic, path));
}

void HeadlessBackend::playMusic(const std::string& path, bool loop) {
    record(soundCall(SoundCall::PlayMusic, path, loop));
}

void HeadlessBackend::stopMusic(bool releaseData) {
    RecordedSound sound = soundCall(SoundCall::StopMusic, "");
    sound.releaseData = releaseData;
    record(sound);
}

void HeadlessBackend::preloadEffect(const std::string& path) {
    record(soundCall(SoundCall::PreloadEffect, path));
}

unsigned HeadlessBackend::playEffect(const std::string& path, bool loop, float pitch, float pan,
                                     float gain) {
    RecordedSound sound = soundCall(SoundCall::PlayEffect, path, loop);
    sound.pitch = pitch;
    sound.pan = pan;
    sound.gain = gain;
    record(sound);
    std::lock_guard<std::mutex> lock(m_recordsMutex);
    return static_cast<unsigned>(m_sounds.size());
}

void HeadlessBackend::requestAttention() {
    if (!m_focused) {
        ++m_attentionRequests;
    }
}

bool HeadlessBackend::setClipboardText(const std::string& text) {
    m_clipboard = text;
    return true;
}

void HeadlessBackend::startTextInput(const PixelRect& area) {
    m_textInputOn = true;
    m_textInputArea = area;
}

void HeadlessBackend::stopTextInput() { m_textInputOn = false; }

void HeadlessBackend::queueText(const std::string& committed) {
    InputEvent event;
    event.type = InputEvent::Type::TextInput;
    event.text = committed;
    queue(event);
}

void HeadlessBackend::queueComposition(const std::string& composing, int cursor) {
    InputEvent event;
    event.type = InputEvent::Type::TextEditing;
    event.text = composing;
    event.cursor = cursor;
    queue(event);
}

void HeadlessBackend::showMessageBox(const std::string& text, const std::string& title) {
    std::unique_lock<std::mutex> lock(m_recordsMutex);
    m_boxes.push_back({text, title, std::this_thread::get_id()});
    if (std::this_thread::get_id() != m_mainThread) {
        m_boxesReleased.wait(lock, [this] { return !m_boxesHeld; });
    }
}

void HeadlessBackend::holdBoxes(bool held) {
    {
        std::lock_guard<std::mutex> lock(m_recordsMutex);
        m_boxesHeld = held;
    }
    m_boxesReleased.notify_all();
}

std::vector<RecordedBox> HeadlessBackend::boxes() const {
    std::lock_guard<std::mutex> lock(m_recordsMutex);
    return m_boxes;
}

std::vector<RecordedSound> HeadlessBackend::soundRecords() const {
    std::lock_guard<std::mutex> lock(m_recordsMutex);
    return m_sounds;
}

void HeadlessBackend::clearRecords() {
    std::lock_guard<std::mutex> lock(m_recordsMutex);
    m_boxes.clear();
    m_sounds.clear();
}

bool HeadlessBackend::savePng(const std::string& path) const {
    if (!m_surface || IMG_SavePNG(m_surface, path.c_str()) != 0) {
        std::fprintf(stderr, "engine: cannot write %s: %s\n", path.c_str(), SDL_GetError());
        return false;
    }
    return true;
}

DrawColor HeadlessBackend::pixel(int x, int y) const {
    if (!m_surface || x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return {0, 0, 0, 255};
    }
    const auto* row = static_cast<const std::uint8_t*>(m_surface->pixels) + y * m_surface->pitch;
    const std::uint32_t value = reinterpret_cast<const std::uint32_t*>(row)[x];
    DrawColor color;
    SDL_GetRGBA(value, m_surface->format, &color.r, &color.g, &color.b, &color.a);
    return color;
}

}  // namespace engine::headless
