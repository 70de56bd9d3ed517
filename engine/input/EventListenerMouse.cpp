#include "engine/input/EventListenerMouse.h"

namespace engine {

EventListenerMouse* EventListenerMouse::create() {
    auto* listener = new EventListenerMouse();
    listener->autorelease();
    return listener;
}

}  // namespace engine
