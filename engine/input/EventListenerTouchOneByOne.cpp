#include "engine/input/EventListenerTouchOneByOne.h"

namespace engine {

EventListenerTouchOneByOne* EventListenerTouchOneByOne::create() {
    auto* listener = new EventListenerTouchOneByOne();
    listener->autorelease();
    return listener;
}

}  // namespace engine
