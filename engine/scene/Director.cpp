#include "engine/scene/Director.h"

#include <algorithm>

#include "engine/base/AutoreleasePool.h"
#include "engine/input/EventDispatcher.h"
#include "engine/input/EventTouch.h"
#include "engine/input/TextInputTarget.h"
#include "engine/platform/GLView.h"
#include "engine/scene/FrameStats.h"
#include "engine/scene/Scene.h"
#include "engine/scene/Scheduler.h"
#include "engine/scene/TextureCache.h"

namespace engine {

namespace {
constexpr double kNothingToDo = 1e9;
}

Director* Director::getInstance() {
    // Never destroyed: nodes may be released while the process exits.
    static Director* director = new Director();
    return director;
}

Director::Director()
    : m_scheduler(new Scheduler()),
      m_eventDispatcher(new EventDispatcher()),
      m_textureCache(new TextureCache()) {}

void Director::setOpenGLView(GLView* view) {
    if (view == m_view) {
        return;
    }
    if (view) {
        view->retain();
    }
    if (m_view) {
        m_view->release();
    }
    m_view = view;
    setNeedsRedraw();
}

void Director::setContentScaleFactor(float factor) {
    if (factor > 0 && factor != m_contentScaleFactor) {
        m_contentScaleFactor = factor;
        setNeedsRedraw();
    }
}

void Director::setClearColor(const Color4B& color) {
    m_clearColor = color;
    setNeedsRedraw();
}

Size Director::getVisibleSize() const {
    return m_view ? m_view->getVisibleSize() : Size::ZERO;
}

void Director::runWithScene(Scene* scene) {
    if (!scene) {
        return;
    }
    if (m_runningScene) {
        replaceScene(scene);
        return;
    }
    scene->retain();
    m_runningScene = scene;
    if (!m_lastFrameTimeValid) {
        m_lastFrameTime = backend().nowSeconds();
        m_lastFrameTimeValid = true;
    }
    scene->onEnter();
    scene->onEnterTransitionDidFinish();
    setNeedsRedraw();
}

void Director::replaceScene(Scene* scene) {
    if (!scene) {
        return;
    }
    if (!m_runningScene) {
        runWithScene(scene);
        return;
    }
    scene->retain();
    if (m_nextScene) {
        m_nextScene->release();
    }
    m_nextScene = scene;
}

void Director::setNextScene() {
    Scene* old = m_runningScene;
    m_runningScene = m_nextScene;
    m_nextScene = nullptr;
    if (old) {
        old->onExitTransitionDidStart();
        old->onExit();
        old->cleanup();
        old->release();
    }
    m_runningScene->onEnter();
    m_runningScene->onEnterTransitionDidFinish();
    setNeedsRedraw();
}

void Director::startAnimation() {
    m_animationStopped = false;
    // The time spent stopped is not given to the timers.
    m_lastFrameTime = backend().nowSeconds();
    m_lastFrameTimeValid = true;
    setNeedsRedraw();
}

void Director::resumeDrawing() {
    m_drawingPaused = false;
    setNeedsRedraw();
}

void Director::dispatchInput(const InputEvent& event) {
    if (event.type == InputEvent::Type::Exposed) {
        setNeedsRedraw();  // the window lost its picture; the back end keeps no copy of it
        return;
    }
    if (event.type == InputEvent::Type::Resized) {
        if (m_view) {
            m_view->setFrameSize(event.x, event.y);
        }
        return;
    }
    if (event.type == InputEvent::Type::KeyPressed || event.type == InputEvent::Type::KeyReleased) {
        m_eventDispatcher->dispatchKeyboard(event.key, event.type == InputEvent::Type::KeyPressed);
        return;
    }
    if (event.type == InputEvent::Type::TextInput || event.type == InputEvent::Type::TextEditing) {
        if (m_textTarget == nullptr) {
            return;  // text input was turned off with this event already queued
        }
        if (event.type == InputEvent::Type::TextInput) {
            m_textTarget->onTextInput(event.text);
        } else {
            m_textTarget->onTextEditing(event.text, event.cursor);
        }
        setNeedsRedraw();
        return;
    }
    if (!m_view) {
        return;
    }
    const Vec2 point = m_view->windowToDesign(event.x, event.y);
    switch (event.type) {
        case InputEvent::Type::TouchBegan:
            m_eventDispatcher->dispatchTouch(EventTouch::EventCode::BEGAN, point);
            break;
        case InputEvent::Type::TouchMoved:
            m_eventDispatcher->dispatchTouch(EventTouch::EventCode::MOVED, point);
            break;
        case InputEvent::Type::TouchEnded:
            m_eventDispatcher->dispatchTouch(EventTouch::EventCode::ENDED, point);
            break;
        case InputEvent::Type::MouseDown:
            m_eventDispatcher->dispatchMouse(EventMouse::MouseEventType::MOUSE_DOWN, event.button,
                                             point);
            break;
        case InputEvent::Type::MouseUp:
            m_eventDispatcher->dispatchMouse(EventMouse::MouseEventType::MOUSE_UP, event.button,
                                             point);
            break;
        case InputEvent::Type::MouseWheel:
            m_eventDispatcher->dispatchMouse(EventMouse::MouseEventType::MOUSE_SCROLL,
                                             EventMouse::MouseButton::BUTTON_UNSET, point,
                                             event.scroll);
            break;
        default:
            break;  // the other window events are the application's
    }
}

void Director::attachTextInput(TextInputTarget* target, const Rect& area) {
    m_textTarget = target;
    backend().startTextInput(m_view ? m_view->designToWindow(area) : PixelRect{});
}

void Director::detachTextInput(TextInputTarget* target) {
    if (target == nullptr || target != m_textTarget) {
        return;
    }
    m_textTarget = nullptr;
    backend().stopTextInput();
}

void Director::runFrame(const std::vector<InputEvent>& input) {
    const auto started = std::chrono::steady_clock::now();
    bool drawn = false;
    const double now = backend().nowSeconds();
    const double dt = m_lastFrameTimeValid ? std::max(0.0, now - m_lastFrameTime) : 0.0;
    m_lastFrameTime = now;
    m_lastFrameTimeValid = true;
    m_frameRun = true;
    if (!m_animationStopped) {
        for (const InputEvent& event : input) {
            dispatchInput(event);
        }
        m_scheduler->update(static_cast<float>(dt));
        if (m_nextScene) {
            setNextScene();
        }
        if (s_needsRedraw && !m_drawingPaused) {
            drawScene();
            drawn = true;
        }
    }
    AutoreleasePool::getInstance()->clear();
    FrameStats::instance().record(started, drawn);
}

double Director::secondsUntilWork(bool inputPending) {
    if (m_animationStopped) {
        return kNothingToDo;
    }
    // The first scene sets the timers' time base as it starts running, but its first frame does
    // not wait an interval after that: the window shows the scene as soon as it can.
    const double sinceLast =
        m_frameRun ? backend().nowSeconds() - m_lastFrameTime : m_animationInterval;
    const double gap = std::max(0.0, m_animationInterval - sinceLast);
    // A change waits for its drawing while drawing is paused; it is no work before that.
    if (inputPending || (s_needsRedraw && !m_drawingPaused) || m_nextScene) {
        return gap;
    }
    const double timer = m_scheduler->secondsUntilNextTimer();
    if (timer < 0) {
        return kNothingToDo;
    }
    return std::max(gap, timer - sinceLast);
}

void Director::drawScene() {
    s_needsRedraw = false;
    backend().beginFrame({m_clearColor.r, m_clearColor.g, m_clearColor.b, 255});
    if (m_runningScene) {
        m_runningScene->visit(AffineTransform());
    }
    backend().endFrame();
}

void Director::purge() {
    if (m_nextScene) {
        m_nextScene->release();
        m_nextScene = nullptr;
    }
    if (m_runningScene) {
        m_runningScene->onExit();
        m_runningScene->cleanup();
        m_runningScene->release();
        m_runningScene = nullptr;
    }
    // The next scene to run starts the frames' clock again, as the first did.
    m_lastFrameTimeValid = false;
    m_frameRun = false;
    AutoreleasePool::getInstance()->clear();
}

}  // namespace engine
