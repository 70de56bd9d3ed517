#pragma once
// Mouse-button and wheel callbacks (buttons other than the left one, which is the touch). Every
// enabled mouse listener hears every press, release and wheel turn, in the touch order (see
// EventDispatcher.h), until one calls stopPropagation on the event.

#include <functional>

#include "engine/input/EventListener.h"
#include "engine/input/EventMouse.h"

namespace engine {

class EventListenerMouse : public EventListener {
public:
    static EventListenerMouse* create();

    std::function<void(EventMouse*)> onMouseDown;
    std::function<void(EventMouse*)> onMouseUp;
    std::function<void(EventMouse*)> onMouseScroll;

private:
    EventListenerMouse() : EventListener(Type::MOUSE) {}
};

}  // namespace engine
