#pragma once
// Turns SDL events into the scene graph's input, for the SDL back end. Main thread only.
//
//   SDL event                                   input event
//   left button down                            TouchBegan at the pointer
//   pointer motion while the left button is held TouchMoved
//   left button up after a TouchBegan           TouchEnded
//   right / middle button down, up              MouseDown / MouseUp at the pointer
//   the wheel turned vertically                 MouseWheel at the pointer's last position,
//                                               `scroll` = -y notches (y's sign flipped back
//                                               where the system reports it flipped)
//   other buttons, motion with no touch         nothing (motion keeps the pointer's position)
//   key down / up of a key the engine names     KeyPressed / KeyReleased (keyCodeOf)
//   auto-repeated key down, other keys          nothing
//   SDL_TEXTINPUT (text input on)               TextInput with the UTF-8 text
//   SDL_TEXTEDITING (an input method composing) TextEditing with the composition and its cursor
//   window exposed (uncovered, shown again)     Exposed
//   window minimized / restored                 Minimized / Restored
//   SDL_QUIT (the window was closed)            Quit
//
// Pointer positions arrive in window coordinates and are scaled to the renderer's pixels, which
// differ from them only on high-density displays.

#include <SDL.h>

#include <optional>

#include "engine/platform/Backend.h"

namespace engine {

// The engine's name for an SDL key (by its meaning in the current layout); KEY_NONE for a key
// the engine does not name.
EventKeyboard::KeyCode keyCodeOf(SDL_Keycode key);

class SdlInput {
public:
    // Pixels per window coordinate on each axis (renderer output size / window size).
    void setPixelScale(float sx, float sy) {
        m_scaleX = sx;
        m_scaleY = sy;
    }
    std::optional<InputEvent> translate(const SDL_Event& event);
    // A rectangle in the renderer's pixels as window coordinates (SDL_SetTextInputRect's).
    SDL_Rect windowRect(const PixelRect& pixels) const;

private:
    InputEvent touch(InputEvent::Type type, int x, int y) const;
    // MouseDown / MouseUp for the right and middle buttons; nothing for the others.
    std::optional<InputEvent> otherButton(const SDL_MouseButtonEvent& button) const;

    bool m_touching = false;  // the left button went down inside the window and is still held
    int m_pointerX = 0;       // the pointer's last position in window coordinates (the wheel's)
    int m_pointerY = 0;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
};

}  // namespace engine
