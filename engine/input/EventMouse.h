#pragma once
// A mouse button other than the left one pressed or released, or the wheel turned. The left
// button is the touch (EventTouch); the others and the wheel come as mouse events, at a point in
// design coordinates (the pointer's, for the wheel).

#include "engine/base/Vec2.h"
#include "engine/input/Event.h"

namespace engine {

class EventMouse : public Event {
public:
    enum class MouseEventType { MOUSE_DOWN, MOUSE_UP, MOUSE_SCROLL };
    enum class MouseButton { BUTTON_UNSET, BUTTON_RIGHT, BUTTON_MIDDLE };

    EventMouse(MouseEventType type, MouseButton button, const Vec2& location, float scrollY = 0)
        : Event(Type::MOUSE),
          m_mouseEventType(type),
          m_button(button),
          m_location(location),
          m_scrollY(scrollY) {}
    MouseEventType getMouseEventType() const { return m_mouseEventType; }
    MouseButton getMouseButton() const { return m_button; }
    // Design coordinates, origin bottom-left.
    Vec2 getLocation() const { return m_location; }
    // MOUSE_SCROLL: notches the wheel turned, positive towards the user (a list moves on to its
    // later rows), negative away; 0 for the buttons.
    float getScrollY() const { return m_scrollY; }

private:
    MouseEventType m_mouseEventType;
    MouseButton m_button;
    Vec2 m_location;
    float m_scrollY = 0;
};

}  // namespace engine
