#pragma once
// Offers the touch to the listeners, top-most first, and stops at the first that swallows it;
// offers each key, and each press or release of another mouse button or wheel turn, to every keyboard or mouse
// listener in the same order until one stops the event.
//
// Order: fixed-priority listeners below 0 (lowest first), then scene-graph listeners by their
// node's place in the drawing of the running scene (drawn last = offered first; nodes outside the
// running scene or invisible are skipped), then fixed priorities above 0. A listener whose
// onTouchBegan returns true gets the moves and the end of that touch, in the same order, until
// one that swallows. A key press or release goes to every keyboard listener in that order, until
// a callback calls stopPropagation. Listeners may be added and removed, and scenes replaced, from
// inside any callback. Main thread only.

#include <cstddef>
#include <functional>
#include <vector>

#include "engine/base/Vec2.h"
#include "engine/input/EventKeyboard.h"
#include "engine/input/EventListener.h"
#include "engine/input/EventMouse.h"
#include "engine/input/EventTouch.h"

namespace engine {

class EventListenerTouchOneByOne;
class Node;
class Touch;

class EventDispatcher {
public:
    EventDispatcher();
    ~EventDispatcher();

    // Retains the listener; it lives until removed or until its node is cleaned up or destroyed.
    void addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node);
    void addEventListenerWithFixedPriority(EventListener* listener, int fixedPriority);
    void removeEventListener(EventListener* listener);
    void removeEventListenersForTarget(Node* node);
    void removeAllEventListeners();
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    size_t listenerCount() const { return m_listeners.size(); }

    // Called by the director with the touch point in design coordinates.
    void dispatchTouch(EventTouch::EventCode code, const Vec2& point);
    // Called by the director with a key the back end recognised.
    void dispatchKeyboard(EventKeyboard::KeyCode keyCode, bool pressed);
    // Called by the director with a right or middle button event, or a wheel turn of `scrollY`
    // notches (EventMouse::getScrollY), at a point in design coordinates.
    void dispatchMouse(EventMouse::MouseEventType type, EventMouse::MouseButton button,
                       const Vec2& point, float scrollY = 0);

private:
    // The registered listeners of one type in the order they are offered input.
    std::vector<EventListener*> orderedListeners(EventListener::Type type) const;
    std::vector<EventListenerTouchOneByOne*> orderedTouchListeners() const;
    // Offers `event` to every listener of `type` in order until one stops it; `call` makes the
    // one call of the listener's callback (it may do nothing when the callback is unset).
    void offerInOrder(EventListener::Type type, Event& event,
                      const std::function<void(EventListener*)>& call);
    void releaseClaims();

    std::vector<EventListener*> m_listeners;            // retained
    std::vector<EventListenerTouchOneByOne*> m_claims;  // retained; claimed the touch
    Touch* m_touch = nullptr;
    bool m_touchDown = false;
    bool m_enabled = true;
};

}  // namespace engine
