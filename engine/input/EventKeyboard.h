#pragma once
// A key pressed or released. Keys are named by what the key means in the keyboard layout in use
// (a key marked A is KEY_A wherever it sits), one name for either case of a letter. Keys the
// client has no use for are not delivered at all; auto-repeat is not delivered either, so a held
// key presses once.

#include "engine/input/Event.h"

namespace engine {

class EventKeyboard : public Event {
public:
    enum class KeyCode {
        KEY_NONE,
        KEY_ESCAPE,
        KEY_BACKSPACE,
        KEY_TAB,
        KEY_ENTER,
        KEY_KP_ENTER,
        KEY_SPACE,
        KEY_LEFT_ARROW,
        KEY_RIGHT_ARROW,
        KEY_UP_ARROW,
        KEY_DOWN_ARROW,
        KEY_LEFT_SHIFT,
        KEY_RIGHT_SHIFT,
        KEY_LEFT_CTRL,
        KEY_RIGHT_CTRL,
        KEY_LEFT_ALT,
        KEY_RIGHT_ALT,
        KEY_F1,
        KEY_F2,
        KEY_F3,
        KEY_F4,
        KEY_F5,
        KEY_F6,
        KEY_F7,
        KEY_F8,
        KEY_F9,
        KEY_F10,
        KEY_F11,
        KEY_F12,
        KEY_0,
        KEY_1,
        KEY_2,
        KEY_3,
        KEY_4,
        KEY_5,
        KEY_6,
        KEY_7,
        KEY_8,
        KEY_9,
        KEY_A,
        KEY_B,
        KEY_C,
        KEY_D,
        KEY_E,
        KEY_F,
        KEY_G,
        KEY_H,
        KEY_I,
        KEY_J,
        KEY_K,
        KEY_L,
        KEY_M,
        KEY_N,
        KEY_O,
        KEY_P,
        KEY_Q,
        KEY_R,
        KEY_S,
        KEY_T,
        KEY_U,
        KEY_V,
        KEY_W,
        KEY_X,
        KEY_Y,
        KEY_Z,
    };

    EventKeyboard(KeyCode keyCode, bool isPressed)
        : Event(Type::KEYBOARD), m_keyCode(keyCode), m_isPressed(isPressed) {}
    KeyCode getKeyCode() const { return m_keyCode; }
    bool isPressed() const { return m_isPressed; }

private:
    KeyCode m_keyCode;
    bool m_isPressed;
};

}  // namespace engine
