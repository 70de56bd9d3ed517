#include "engine/input/EventListenerKeyboard.h"

namespace engine {

EventListenerKeyboard* EventListenerKeyboard::create() {
    auto* listener = new EventListenerKeyboard();
    listener->autorelease();
    return listener;
}

}  // namespace engine
