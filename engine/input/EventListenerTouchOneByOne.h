#pragma once
// Touch callbacks for the one touch. A listener whose onTouchBegan returns true claims the touch
// and gets its moves and its end; with swallowing on, listeners below it are not offered it.
// Not swallowing by default.

#include <functional>

#include "engine/input/EventListener.h"

namespace engine {

class Event;
class Touch;

class EventListenerTouchOneByOne : public EventListener {
public:
    static EventListenerTouchOneByOne* create();

    std::function<bool(Touch*, Event*)> onTouchBegan;
    std::function<void(Touch*, Event*)> onTouchMoved;
    std::function<void(Touch*, Event*)> onTouchEnded;
    std::function<void(Touch*, Event*)> onTouchCancelled;

    void setSwallowTouches(bool swallow) { m_swallow = swallow; }
    bool isSwallowTouches() const { return m_swallow; }

private:
    EventListenerTouchOneByOne() : EventListener(Type::TOUCH_ONE_BY_ONE) {}
    bool m_swallow = false;
};

}  // namespace engine
