#pragma once
// A touch event: which phase of the one touch it is.

#include "engine/input/Event.h"

namespace engine {

class EventTouch : public Event {
public:
    enum class EventCode { BEGAN, MOVED, ENDED, CANCELLED };

    explicit EventTouch(EventCode code) : Event(Type::TOUCH), m_code(code) {}
    EventCode getEventCode() const { return m_code; }

private:
    EventCode m_code;
};

}  // namespace engine
