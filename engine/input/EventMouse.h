#pragma once
// A mouse button other than the left one pressed or released. The left button is the touch
// (EventTouch); the others come as mouse events, at a point in design coordinates.

#include "engine/base/Vec2.h"
#include "engine/input/Event.h"

namespace engine {

class EventMouse : public Event {
public:
    enum class MouseEventType { MOUSE_DOWN, MOUSE_UP };
    enum class MouseButton { BUTTON_UNSET, BUTTON_RIGHT, BUTTON_MIDDLE };

    EventMouse(MouseEventType type, MouseButton button, const Vec2& location)
        : Event(Type::MOUSE), m_mouseEventType(type), m_button(button), m_location(location) {}
    MouseEventType getMouseEventType() const { return m_mouseEventType; }
    MouseButton getMouseButton() const { return m_button; }
    // Design coordinates, origin bottom-left.
    Vec2 getLocation() const { return m_location; }

private:
    MouseEventType m_mouseEventType;
    MouseButton m_button;
    Vec2 m_location;
};

}  // namespace engine
