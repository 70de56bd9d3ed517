#include "engine/backend/sdl/SdlInput.h"

namespace engine {

EventKeyboard::KeyCode keyCodeOf(SDL_Keycode key) {
    using K = EventKeyboard::KeyCode;
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<K>(static_cast<int>(K::KEY_A) + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<K>(static_cast<int>(K::KEY_0) + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<K>(static_cast<int>(K::KEY_F1) + (key - SDLK_F1));
    }
    switch (key) {
        case SDLK_ESCAPE:
            return K::KEY_ESCAPE;
        case SDLK_BACKSPACE:
            return K::KEY_BACKSPACE;
        case SDLK_TAB:
            return K::KEY_TAB;
        case SDLK_RETURN:
            return K::KEY_ENTER;
        case SDLK_KP_ENTER:
            return K::KEY_KP_ENTER;
        case SDLK_SPACE:
            return K::KEY_SPACE;
        case SDLK_LEFT:
            return K::KEY_LEFT_ARROW;
        case SDLK_RIGHT:
            return K::KEY_RIGHT_ARROW;
        case SDLK_UP:
            return K::KEY_UP_ARROW;
        case SDLK_DOWN:
            return K::KEY_DOWN_ARROW;
        case SDLK_LSHIFT:
            return K::KEY_LEFT_SHIFT;
        case SDLK_RSHIFT:
            return K::KEY_RIGHT_SHIFT;
        case SDLK_LCTRL:
            return K::KEY_LEFT_CTRL;
        case SDLK_RCTRL:
            return K::KEY_RIGHT_CTRL;
        case SDLK_LALT:
            return K::KEY_LEFT_ALT;
        case SDLK_RALT:
            return K::KEY_RIGHT_ALT;
        default:
            return K::KEY_NONE;
    }
}

InputEvent SdlInput::touch(InputEvent::Type type, int x, int y) const {
    InputEvent out;
    out.type = type;
    out.x = static_cast<float>(x) * m_scaleX;
    out.y = static_cast<float>(y) * m_scaleY;
    return out;
}

std::optional<InputEvent> SdlInput::otherButton(const SDL_MouseButtonEvent& button) const {
    EventMouse::MouseButton which = EventMouse::MouseButton::BUTTON_UNSET;
    if (button.button == SDL_BUTTON_RIGHT) {
        which = EventMouse::MouseButton::BUTTON_RIGHT;
    } else if (button.button == SDL_BUTTON_MIDDLE) {
        which = EventMouse::MouseButton::BUTTON_MIDDLE;
    } else {
        return std::nullopt;
    }
    InputEvent out = touch(button.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Type::MouseDown
                                                              : InputEvent::Type::MouseUp,
                           button.x, button.y);
    out.button = which;
    return out;
}

SDL_Rect SdlInput::windowRect(const PixelRect& pixels) const {
    return SDL_Rect{static_cast<int>(pixels.x / m_scaleX), static_cast<int>(pixels.y / m_scaleY),
                    static_cast<int>(pixels.w / m_scaleX), static_cast<int>(pixels.h / m_scaleY)};
}

std::optional<InputEvent> SdlInput::translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEWHEEL: {
            const int turned =
                event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            if (turned == 0) {
                return std::nullopt;
            }
            InputEvent out = touch(InputEvent::Type::MouseWheel, m_pointerX, m_pointerY);
            out.scroll = static_cast<float>(-turned);
            return out;
        }
        case SDL_MOUSEBUTTONDOWN:
            m_pointerX = event.button.x;
            m_pointerY = event.button.y;
            if (event.button.button != SDL_BUTTON_LEFT) {
                return otherButton(event.button);
            }
            if (m_touching) {
                return std::nullopt;
            }
            m_touching = true;
            return touch(InputEvent::Type::TouchBegan, event.button.x, event.button.y);
        case SDL_MOUSEMOTION:
            m_pointerX = event.motion.x;
            m_pointerY = event.motion.y;
            if (!m_touching) {
                return std::nullopt;
            }
            return touch(InputEvent::Type::TouchMoved, event.motion.x, event.motion.y);
        case SDL_MOUSEBUTTONUP:
            m_pointerX = event.button.x;
            m_pointerY = event.button.y;
            if (event.button.button != SDL_BUTTON_LEFT) {
                return otherButton(event.button);
            }
            if (!m_touching) {
                return std::nullopt;
            }
            m_touching = false;
            return touch(InputEvent::Type::TouchEnded, event.button.x, event.button.y);
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const EventKeyboard::KeyCode key = keyCodeOf(event.key.keysym.sym);
            if (key == EventKeyboard::KeyCode::KEY_NONE || event.key.repeat) {
                return std::nullopt;
            }
            InputEvent out;
            out.type = event.type == SDL_KEYDOWN ? InputEvent::Type::KeyPressed
                                                 : InputEvent::Type::KeyReleased;
            out.key = key;
            return out;
        }
        case SDL_TEXTINPUT: {
            InputEvent out;
            out.type = InputEvent::Type::TextInput;
            out.text = event.text.text;
            return out;
        }
        case SDL_TEXTEDITING: {
            InputEvent out;
            out.type = InputEvent::Type::TextEditing;
            out.text = event.edit.text;
            out.cursor = event.edit.start;
            return out;
        }
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                return InputEvent{InputEvent::Type::Exposed};
            }
            if (event.window.event == SDL_WINDOWEVENT_MINIMIZED) {
                return InputEvent{InputEvent::Type::Minimized};
            }
            if (event.window.event == SDL_WINDOWEVENT_RESTORED) {
                return InputEvent{InputEvent::Type::Restored};
            }
            return std::nullopt;
        case SDL_QUIT:
            return InputEvent{InputEvent::Type::Quit};
        default:
            return std::nullopt;
    }
}

}  // namespace engine
