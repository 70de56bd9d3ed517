#include "engine/input/EventDispatcher.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>

#include "engine/input/EventListenerKeyboard.h"
#include "engine/input/EventListenerMouse.h"
#include "engine/input/EventListenerTouchOneByOne.h"
#include "engine/input/Touch.h"
#include "engine/scene/Director.h"
#include "engine/scene/Scene.h"

namespace engine {

EventDispatcher::EventDispatcher() : m_touch(new Touch()) {}

EventDispatcher::~EventDispatcher() {
    releaseClaims();
    removeAllEventListeners();
    m_touch->release();
}

void EventDispatcher::addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node) {
    assert(listener && node && "a scene-graph listener needs a listener and a node");
    assert(!listener->m_registered && "the listener is registered already");
    if (!listener || !node || listener->m_registered) {
        return;
    }
    listener->retain();
    listener->m_registered = true;
    listener->m_node = node;
    m_listeners.push_back(listener);
}

void EventDispatcher::addEventListenerWithFixedPriority(EventListener* listener,
                                                        int fixedPriority) {
    assert(listener && fixedPriority != 0 && "fixed priority 0 is reserved for the scene graph");
    if (!listener || listener->m_registered) {
        return;
    }
    listener->retain();
    listener->m_registered = true;
    listener->m_node = nullptr;
    listener->m_fixedPriority = fixedPriority;
    m_listeners.push_back(listener);
}

void EventDispatcher::removeEventListener(EventListener* listener) {
    auto found = std::find(m_listeners.begin(), m_listeners.end(), listener);
    if (found == m_listeners.end()) {
        return;
    }
    m_listeners.erase(found);
    listener->m_registered = false;
    listener->m_node = nullptr;
    listener->release();
}

void EventDispatcher::removeEventListenersForTarget(Node* node) {
    std::vector<EventListener*> removing;
    for (EventListener* listener : m_listeners) {
        if (listener->m_node == node) {
            removing.push_back(listener);
        }
    }
    for (EventListener* listener : removing) {
        removeEventListener(listener);
    }
}

void EventDispatcher::removeAllEventListeners() {
    std::vector<EventListener*> removing = m_listeners;
    for (EventListener* listener : removing) {
        removeEventListener(listener);
    }
}

std::vector<EventListener*> EventDispatcher::orderedListeners(EventListener::Type type) const {
    std::unordered_map<const Node*, size_t> rank;  // place in the drawing of the running scene
    if (Scene* scene = Director::getInstance()->getRunningScene()) {
        std::vector<const Node*> drawn;
        scene->collectVisibleInDrawOrder(drawn);
        for (size_t i = 0; i < drawn.size(); ++i) {
            rank[drawn[i]] = i;
        }
    }
    struct Entry {
        EventListener* listener;
        int group;     // 0: fixed below 0, 1: scene graph, 2: fixed above 0
        double order;  // within the group, ascending
    };
    std::vector<Entry> entries;
    for (EventListener* listener : m_listeners) {
        if (listener->getType() != type) {
            continue;
        }
        if (listener->m_node) {
            auto found = rank.find(listener->m_node);
            if (found != rank.end() && listener->m_node->isRunning()) {
                entries.push_back({listener, 1, -static_cast<double>(found->second)});
            }
        } else {
            entries.push_back({listener, listener->m_fixedPriority < 0 ? 0 : 2,
                               static_cast<double>(listener->m_fixedPriority)});
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.group != b.group ? a.group < b.group : a.order < b.order;
    });
    std::vector<EventListener*> ordered;
    for (const Entry& entry : entries) {
        ordered.push_back(entry.listener);
    }
    return ordered;
}

std::vector<EventListenerTouchOneByOne*> EventDispatcher::orderedTouchListeners() const {
    std::vector<EventListenerTouchOneByOne*> touches;
    for (EventListener* listener : orderedListeners(EventListener::Type::TOUCH_ONE_BY_ONE)) {
        touches.push_back(static_cast<EventListenerTouchOneByOne*>(listener));
    }
    return touches;
}

void EventDispatcher::releaseClaims() {
    std::vector<EventListenerTouchOneByOne*> claims;
    claims.swap(m_claims);
    for (EventListenerTouchOneByOne* listener : claims) {
        listener->release();
    }
}

void EventDispatcher::dispatchTouch(EventTouch::EventCode code, const Vec2& point) {
    if (!m_enabled) {
        return;
    }
    EventTouch event(code);
    if (code == EventTouch::EventCode::BEGAN) {
        releaseClaims();
        m_touchDown = true;
        m_touch->begin(point);
        std::vector<EventListenerTouchOneByOne*> offered = orderedTouchListeners();
        for (EventListenerTouchOneByOne* listener : offered) {
            listener->retain();  // a callback may remove it
        }
        for (EventListenerTouchOneByOne* listener : offered) {
            if (!listener->isRegistered() || !listener->isEnabled() || !listener->onTouchBegan) {
                continue;
            }
            if (listener->onTouchBegan(m_touch, &event)) {
                listener->retain();
                m_claims.push_back(listener);
                if (listener->isSwallowTouches()) {
                    break;
                }
            }
            if (event.isStopped()) {
                break;
            }
        }
        for (EventListenerTouchOneByOne* listener : offered) {
            listener->release();
        }
        return;
    }
    if (!m_touchDown) {
        return;
    }
    m_touch->moveTo(point);
    // A copy: a callback may end the touch's claims (a new scene) or add listeners.
    std::vector<EventListenerTouchOneByOne*> claims = m_claims;
    for (EventListenerTouchOneByOne* listener : claims) {
        listener->retain();
    }
    for (EventListenerTouchOneByOne* listener : claims) {
        if (!listener->isRegistered() || !listener->isEnabled()) {
            continue;
        }
        const auto& callback = code == EventTouch::EventCode::MOVED   ? listener->onTouchMoved
                               : code == EventTouch::EventCode::ENDED ? listener->onTouchEnded
                                                                      : listener->onTouchCancelled;
        if (callback) {
            callback(m_touch, &event);
        }
        if (listener->isSwallowTouches() || event.isStopped()) {
            break;
        }
    }
    for (EventListenerTouchOneByOne* listener : claims) {
        listener->release();
    }
    if (code != EventTouch::EventCode::MOVED) {
        m_touchDown = false;
        releaseClaims();
    }
}

void EventDispatcher::offerInOrder(EventListener::Type type, Event& event,
                                   const std::function<void(EventListener*)>& call) {
    std::vector<EventListener*> offered = orderedListeners(type);
    for (EventListener* listener : offered) {
        listener->retain();  // a callback may remove it
    }
    for (EventListener* listener : offered) {
        if (!listener->isRegistered() || !listener->isEnabled()) {
            continue;
        }
        call(listener);
        if (event.isStopped()) {
            break;
        }
    }
    for (EventListener* listener : offered) {
        listener->release();
    }
}

void EventDispatcher::dispatchKeyboard(EventKeyboard::KeyCode keyCode, bool pressed) {
    if (!m_enabled) {
        return;
    }
    EventKeyboard event(keyCode, pressed);
    offerInOrder(EventListener::Type::KEYBOARD, event, [&](EventListener* listener) {
        auto* keyboard = static_cast<EventListenerKeyboard*>(listener);
        const auto& callback = pressed ? keyboard->onKeyPressed : keyboard->onKeyReleased;
        if (callback) {
            callback(keyCode, &event);
        }
    });
}

void EventDispatcher::dispatchMouse(EventMouse::MouseEventType type, EventMouse::MouseButton button,
                                    const Vec2& point, float scrollY) {
    if (!m_enabled) {
        return;
    }
    EventMouse event(type, button, point, scrollY);
    offerInOrder(EventListener::Type::MOUSE, event, [&](EventListener* listener) {
        auto* mouse = static_cast<EventListenerMouse*>(listener);
        const auto& callback = type == EventMouse::MouseEventType::MOUSE_DOWN ? mouse->onMouseDown
                               : type == EventMouse::MouseEventType::MOUSE_UP ? mouse->onMouseUp
                                                                              : mouse->onMouseScroll;
        if (callback) {
            callback(&event);
        }
    });
}

}  // namespace engine
