#include "engine/backend/sdl/SdlInput.h"

namespace engine {

InputEvent SdlInput::touch(InputEvent::Type type, int x, int y) const {
    InputEvent out;
    out.type = type;
    out.x = static_cast<float>(x) * m_scaleX;
    out.y = static_cast<float>(y) * m_scaleY;
    return out;
}

std::optional<InputEvent> SdlInput::translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button != SDL_BUTTON_LEFT || m_touching) {
                return std::nullopt;
            }
            m_touching = true;
            return touch(InputEvent::Type::TouchBegan, event.button.x, event.button.y);
        case SDL_MOUSEMOTION:
            if (!m_touching) {
                return std::nullopt;
            }
            return touch(InputEvent::Type::TouchMoved, event.motion.x, event.motion.y);
        case SDL_MOUSEBUTTONUP:
            if (event.button.button != SDL_BUTTON_LEFT || !m_touching) {
                return std::nullopt;
            }
            m_touching = false;
            return touch(InputEvent::Type::TouchEnded, event.button.x, event.button.y);
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
