#pragma once
// Key callbacks. Every enabled keyboard listener hears every key, in the touch order (see
// EventDispatcher.h), until one calls stopPropagation on the event.

#include <functional>

#include "engine/input/EventKeyboard.h"
#include "engine/input/EventListener.h"

namespace engine {

class EventListenerKeyboard : public EventListener {
public:
    static EventListenerKeyboard* create();

    std::function<void(EventKeyboard::KeyCode, Event*)> onKeyPressed;
    std::function<void(EventKeyboard::KeyCode, Event*)> onKeyReleased;

private:
    EventListenerKeyboard() : EventListener(Type::KEYBOARD) {}
};

}  // namespace engine
