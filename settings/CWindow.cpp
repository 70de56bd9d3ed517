#include "settings/CWindow.h"

#include <functional>
#include <utility>

#include "engine/Engine.h"
#include "settings/CSettings.h"

using namespace engine;

namespace {

// The darkest green of the table's felt, at its edges.
constexpr Color4B kBars{14, 59, 38, 255};

// Seconds after a change of content scale until the images of the other size are let go: by then
// every node shown has drawn from the new ones, and the catalogue's frames are refreshed then.
constexpr float kReleaseDelay = 0.2f;

// The timer that keeps the window's size once a resize has ended.
constexpr const char* kKeepSizeKey = "CWindow.keepSize";

// Alt keys held now, for Alt+Enter.
bool g_leftAlt = false;
bool g_rightAlt = false;

GLViewImpl* windowView() {
    return static_cast<GLViewImpl*>(Director::getInstance()->getOpenGLView());
}

// Heard before the scenes: F11 and Alt+Enter are the window's, and Enter with Alt held is not
// the scene's Enter (quick join, play).
void onToggleKey(EventKeyboard::KeyCode key, Event* event) {
    using K = EventKeyboard::KeyCode;
    if (key == K::KEY_LEFT_ALT) {
        g_leftAlt = true;
    } else if (key == K::KEY_RIGHT_ALT) {
        g_rightAlt = true;
    } else if (key == K::KEY_F11 ||
               ((key == K::KEY_ENTER || key == K::KEY_KP_ENTER) && (g_leftAlt || g_rightAlt))) {
        CWindow::setFullScreen(!CWindow::isFullScreen());
        event->stopPropagation();
    }
}

void onAltReleased(EventKeyboard::KeyCode key, Event*) {
    if (key == EventKeyboard::KeyCode::KEY_LEFT_ALT) {
        g_leftAlt = false;
    } else if (key == EventKeyboard::KeyCode::KEY_RIGHT_ALT) {
        g_rightAlt = false;
    }
}

// Heard after the scenes, which stop Esc when they use it.
void onEscape(EventKeyboard::KeyCode key, Event*) {
    if (key == EventKeyboard::KeyCode::KEY_ESCAPE && CWindow::isFullScreen()) {
        CWindow::setFullScreen(false);
    }
}

// A listener kept for the process, added with `priority` unless it is registered already.
void listenKept(EventListenerKeyboard*& listener, int priority,
                std::function<void(EventKeyboard::KeyCode, Event*)> pressed,
                std::function<void(EventKeyboard::KeyCode, Event*)> released) {
    if (!listener) {
        listener = EventListenerKeyboard::create();
        listener->retain();
        listener->onKeyPressed = std::move(pressed);
        listener->onKeyReleased = std::move(released);
    }
    if (!listener->isRegistered()) {
        Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(listener,
                                                                                         priority);
    }
}

}  // namespace

GLView* CWindow::open(const std::string& title) {
    const Size size = CSettings::windowSize();
    GLViewImpl* view =
        GLViewImpl::createWithRect(title, Rect(0, 0, size.width, size.height), 1.0f, true);
    if (view) {
        view->setMinimumSize(CSettings::kMinimumWidth, CSettings::kMinimumHeight);
    }
    return view;
}

void CWindow::setUp(GLView* view) {
    view->setDesignResolutionSize(kDesignWidth, kDesignHeight, ResolutionPolicy::SHOW_ALL);
    Director::getInstance()->setClearColor(kBars);
    applyContentScale();
    if (CSettings::fullScreen() && !isFullScreen()) {
        windowView()->setFullscreen();
    }
}

void CWindow::onResized() {
    applyContentScale();
    Director* director = Director::getInstance();
    Scheduler* scheduler = director->getScheduler();
    scheduler->unschedule(kKeepSizeKey, director);
    scheduler->schedule(
        [](float) {
            const GLViewImpl* view = windowView();
            if (view && !view->isFullscreen()) {
                const Size size = view->getWindowSize();
                CSettings::setWindowSize(static_cast<int>(size.width),
                                         static_cast<int>(size.height));
            }
        },
        director, 0, 0, kKeepSizeAfter, false, kKeepSizeKey);
}

void CWindow::applyContentScale() {
    Director* director = Director::getInstance();
    const GLView* view = director->getOpenGLView();
    if (!view) {
        return;
    }
    const bool doubleSize = view->getScaleX() >= kDoubleSizeFrom;
    const float factor = doubleSize ? 2.0f : 1.0f;
    if (factor == director->getContentScaleFactor()) {
        return;
    }
    FileUtils::getInstance()->setSearchResolutionsOrder(
        doubleSize ? std::vector<std::string>{"hd", ""} : std::vector<std::string>{""});
    director->setContentScaleFactor(factor);
    director->getScheduler()->schedule(
        [](float) {
            SpriteFrameCache::getInstance()->refreshTextures();
            Director::getInstance()->getTextureCache()->removeUnusedTextures();
        },
        director, 0, 0, kReleaseDelay, false, "CWindow.releaseImages");
}

bool CWindow::isFullScreen() {
    const GLViewImpl* view = windowView();
    return view && view->isFullscreen();
}

void CWindow::setFullScreen(bool on) {
    GLViewImpl* view = windowView();
    if (!view || on == isFullScreen()) {
        return;
    }
    if (on ? view->setFullscreen() : view->setWindowed()) {
        CSettings::setFullScreen(on);
    }
}

void CWindow::listenToKeys() {
    static EventListenerKeyboard* first = nullptr;
    static EventListenerKeyboard* last = nullptr;
    listenKept(first, -1, onToggleKey, onAltReleased);
    listenKept(last, 1, onEscape, nullptr);
}
