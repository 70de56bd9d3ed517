#include "engine/ui/Widget.h"

#include "engine/base/Create.h"
#include "engine/input/EventDispatcher.h"
#include "engine/input/EventListenerTouchOneByOne.h"
#include "engine/input/Touch.h"
#include "engine/scene/Director.h"

namespace engine::ui {

Widget::Widget() {
    setAnchorPoint(Vec2::ANCHOR_MIDDLE);
}

Widget::~Widget() {
    if (m_listener) {
        m_listener->release();
    }
}

Widget* Widget::create() {
    return createAutoreleased(new Widget());
}

bool Widget::init() {
    if (m_listener) {
        return true;
    }
    m_listener = EventListenerTouchOneByOne::create();
    m_listener->retain();
    m_listener->setSwallowTouches(true);
    m_listener->onTouchBegan = [this](Touch* t, Event* e) { return onTouchBegan(t, e); };
    m_listener->onTouchMoved = [this](Touch* t, Event* e) { onTouchMoved(t, e); };
    m_listener->onTouchEnded = [this](Touch* t, Event* e) { onTouchEnded(t, e); };
    m_listener->onTouchCancelled = [this](Touch* t, Event* e) { onTouchCancelled(t, e); };
    return true;
}

void Widget::onEnter() {
    // Registered here rather than in init: cleanup (removal, a replaced scene) drops it, and a
    // widget added again registers anew.
    if (m_listener && !m_listener->isRegistered()) {
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(m_listener, this);
    }
    Node::onEnter();
}

void Widget::setEnabled(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    m_bright = enabled;
    m_highlighted = false;
    onPressStateChanged();
    Director::setNeedsRedraw();
}

void Widget::setHighlighted(bool highlighted) {
    if (highlighted != m_highlighted) {
        m_highlighted = highlighted;
        onPressStateChanged();
        Director::setNeedsRedraw();
    }
}

bool Widget::hitTest(const Vec2& worldPoint) const {
    const Vec2 local = convertToNodeSpace(worldPoint);
    return Rect(Vec2::ZERO, getContentSize()).containsPoint(local);
}

bool Widget::isShownOnScreen() const {
    for (const Node* node = this; node; node = node->getParent()) {
        if (!node->isVisible()) {
            return false;
        }
    }
    return isRunning();
}

void Widget::report(TouchEventType type) {
    retain();  // the callback may release the last reference to this widget
    if (m_touchCallback) {
        m_touchCallback(this, type);
    }
    if (type == TouchEventType::ENDED && m_clickCallback) {
        m_clickCallback(this);
    }
    release();
}

bool Widget::onTouchBegan(Touch* touch, Event*) {
    if (!m_enabled || !m_touchEnabled || !isShownOnScreen() || !hitTest(touch->getLocation())) {
        return false;
    }
    setHighlighted(true);
    report(TouchEventType::BEGAN);
    return true;
}

// A widget disabled while held (by its own BEGAN callback, say) reports nothing more.
void Widget::onTouchMoved(Touch* touch, Event*) {
    if (m_enabled) {
        setHighlighted(hitTest(touch->getLocation()));
        report(TouchEventType::MOVED);
    }
}

void Widget::onTouchEnded(Touch*, Event*) {
    const bool releasedOnIt = m_highlighted;
    setHighlighted(false);
    if (m_enabled) {
        report(releasedOnIt ? TouchEventType::ENDED : TouchEventType::CANCELED);
    }
}

void Widget::onTouchCancelled(Touch*, Event*) {
    setHighlighted(false);
    if (m_enabled) {
        report(TouchEventType::CANCELED);
    }
}

}  // namespace engine::ui
