#include "engine/backend/headless/Headless.h"

#include <cmath>

#include "engine/backend/headless/HeadlessBackend.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLView.h"
#include "engine/platform/GLViewImpl.h"
#include "engine/scene/Director.h"

namespace engine::headless {

namespace {

constexpr double kFrame = 1.0 / 60;

HeadlessBackend* g_backend = nullptr;  // owned by engine::setBackend
double g_carried = 0;                  // seconds asked for but not yet a whole frame

HeadlessBackend& headless() {
    if (!g_backend) {
        install();
    }
    return *g_backend;
}

void queuePointer(InputEvent::Type type, float x, float y,
                  EventMouse::MouseButton button = EventMouse::MouseButton::BUTTON_UNSET,
                  float scroll = 0) {
    HeadlessBackend& b = headless();
    Vec2 pixel(x, y);
    if (const GLView* view = Director::getInstance()->getOpenGLView()) {
        pixel = view->designToWindow(Vec2(x, y));
    }
    InputEvent event;
    event.type = type;
    event.x = pixel.x;
    event.y = pixel.y;
    event.button = button;
    event.scroll = scroll;
    b.queue(event);
}

}  // namespace

void install(int width, int height) {
    Director* director = Director::getInstance();
    director->purge();  // a scene of an earlier test in the same process
    auto owned = std::make_unique<HeadlessBackend>(width, height);
    g_backend = owned.get();
    setBackend(std::move(owned));
    g_carried = 0;
    GLView* view = GLViewImpl::createWithRect(
        "headless", Rect(0, 0, static_cast<float>(width), static_cast<float>(height)));
    view->setDesignResolutionSize(static_cast<float>(width), static_cast<float>(height),
                                  ResolutionPolicy::NO_BORDER);
    director->setOpenGLView(view);
    // The normal images and black bars, whatever an earlier test chose.
    director->setContentScaleFactor(1.0f);
    director->setClearColor(Color4B(0, 0, 0, 255));
    FileUtils::getInstance()->setSearchResolutionsOrder({""});
    director->startAnimation();  // the frame clock starts at the new virtual time 0
}

void stepFrames(int count) {
    HeadlessBackend& b = headless();
    for (int i = 0; i < count; ++i) {
        b.setNow(b.nowSeconds() + kFrame);
        std::vector<InputEvent> input;
        b.pollInput(input, 0);
        Director::getInstance()->runFrame(input);
    }
}

void step(double seconds) {
    g_carried += seconds;
    const int frames = static_cast<int>(std::floor(g_carried / kFrame + 1e-6));
    g_carried -= frames * kFrame;
    if (g_carried < 0) {
        g_carried = 0;
    }
    stepFrames(frames);
}

void stall(double seconds) {
    HeadlessBackend& b = headless();
    b.setNow(b.nowSeconds() + seconds);
}

double now() {
    return headless().nowSeconds();
}

void touchBegin(float x, float y) {
    queuePointer(InputEvent::Type::TouchBegan, x, y);
}
void touchMove(float x, float y) {
    queuePointer(InputEvent::Type::TouchMoved, x, y);
}
void touchEnd(float x, float y) {
    queuePointer(InputEvent::Type::TouchEnded, x, y);
}

void tap(float x, float y) {
    touchBegin(x, y);
    touchEnd(x, y);
    stepFrames(1);
}

void rightClick(float x, float y) {
    queuePointer(InputEvent::Type::MouseDown, x, y, EventMouse::MouseButton::BUTTON_RIGHT);
    queuePointer(InputEvent::Type::MouseUp, x, y, EventMouse::MouseButton::BUTTON_RIGHT);
    stepFrames(1);
}

void wheel(float x, float y, float notches) {
    queuePointer(InputEvent::Type::MouseWheel, x, y, EventMouse::MouseButton::BUTTON_UNSET,
                 notches);
    stepFrames(1);
}

void keyPress(EventKeyboard::KeyCode key) {
    InputEvent event;
    event.type = InputEvent::Type::KeyPressed;
    event.key = key;
    headless().queue(event);
}

void keyRelease(EventKeyboard::KeyCode key) {
    InputEvent event;
    event.type = InputEvent::Type::KeyReleased;
    event.key = key;
    headless().queue(event);
}

void typeKey(EventKeyboard::KeyCode key) {
    keyPress(key);
    keyRelease(key);
    stepFrames(1);
}

void typeText(const std::string& committed) {
    headless().queueText(committed);
    stepFrames(1);
}

void compose(const std::string& composing, int cursor) {
    headless().queueComposition(composing, cursor);
    stepFrames(1);
}

bool textInputOn() {
    return headless().textInputOn();
}

PixelRect textInputArea() {
    return headless().textInputArea();
}

void resizeWindow(int width, int height, int pixelsPerPoint) {
    headless().resize(width, height, pixelsPerPoint);
}

bool isFullscreen() {
    return headless().isFullscreen();
}

void tapWindow(float x, float y) {
    for (InputEvent::Type type : {InputEvent::Type::TouchBegan, InputEvent::Type::TouchEnded}) {
        InputEvent event;
        event.type = type;
        event.x = x;
        event.y = y;
        headless().queue(event);
    }
    stepFrames(1);
}

DrawColor windowPixelAt(int x, int y) {
    return headless().pixel(x, y);
}

void queueEvent(InputEvent::Type type) {
    InputEvent event;
    event.type = type;
    headless().queue(event);
}

void setWindowFocused(bool focused) {
    headless().setFocused(focused);
}

int attentionRequests() {
    return headless().attentionRequests();
}

std::vector<RecordedBox> messageBoxes() {
    return headless().boxes();
}

void holdBoxes() {
    headless().holdBoxes(true);
}

void releaseBoxes() {
    headless().holdBoxes(false);
}

std::vector<RecordedSound> sounds() {
    return headless().soundRecords();
}

std::vector<std::string> effectsPlayed() {
    std::vector<std::string> paths;
    for (const RecordedSound& sound : sounds()) {
        if (sound.call == SoundCall::PlayEffect) {
            paths.push_back(sound.path);
        }
    }
    return paths;
}

void clearRecords() {
    headless().clearRecords();
}

float musicVolume() {
    return headless().musicVolume();
}

int framesDrawn() {
    return headless().framesDrawn();
}

PixelRect lastDrawnArea() {
    return headless().lastDrawnArea();
}

bool saveFrame(const std::string& pngPath) {
    HeadlessBackend& b = headless();
    Director::getInstance()->drawScene();
    return b.savePng(pngPath);
}

DrawColor pixelAt(float x, float y) {
    HeadlessBackend& b = headless();
    Vec2 pixel(x, y);
    if (const GLView* view = Director::getInstance()->getOpenGLView()) {
        pixel = view->designToWindow(Vec2(x, y));
    }
    return b.pixel(static_cast<int>(std::floor(pixel.x)), static_cast<int>(std::floor(pixel.y)));
}

}  // namespace engine::headless
