// SDL key and mouse events to the engine's input, without a window: the key names, repeats and
// unnamed keys; the left button as the touch and the others as mouse events.

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/backend/sdl/SdlInput.h"

namespace {

using engine::InputEvent;
using engine::keyCodeOf;
using K = engine::EventKeyboard::KeyCode;

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.repeat = repeat;
    return event;
}

TEST(SdlKeys, EachKeyTheGameUsesHasItsName) {
    const struct {
        SDL_Keycode sdl;
        K engine;
    } table[] = {
        {SDLK_RETURN, K::KEY_ENTER},
        {SDLK_KP_ENTER, K::KEY_KP_ENTER},
        {SDLK_BACKSPACE, K::KEY_BACKSPACE},
        {SDLK_ESCAPE, K::KEY_ESCAPE},
        {SDLK_F11, K::KEY_F11},
        {SDLK_F1, K::KEY_F1},
        {SDLK_F12, K::KEY_F12},
        {SDLK_LALT, K::KEY_LEFT_ALT},
        {SDLK_RALT, K::KEY_RIGHT_ALT},
        {SDLK_a, K::KEY_A},
        {SDLK_h, K::KEY_H},
        {SDLK_z, K::KEY_Z},
        {SDLK_0, K::KEY_0},
        {SDLK_9, K::KEY_9},
        {SDLK_SPACE, K::KEY_SPACE},
        {SDLK_LEFT, K::KEY_LEFT_ARROW},
        {SDLK_PAUSE, K::KEY_NONE},
        {SDLK_KP_5, K::KEY_NONE},
        {SDLK_F13, K::KEY_NONE},
    };
    for (const auto& row : table) {
        EXPECT_EQ(keyCodeOf(row.sdl), row.engine) << SDL_GetKeyName(row.sdl);
    }
}

// Text input and the input method's composition: the UTF-8 text as SDL gives it, the cursor of a
// composition, and the candidate area given back in window coordinates on a dense screen.
TEST(SdlText, TextAndCompositionKeepTheirUtf8) {
    struct Row {
        Uint32 type;
        const char* text;
        int start;
        InputEvent::Type expected;
    };
    const Row rows[] = {
        {SDL_TEXTINPUT, "a", 0, InputEvent::Type::TextInput},
        {SDL_TEXTINPUT, "小明", 0, InputEvent::Type::TextInput},
        {SDL_TEXTEDITING, "xiao ming", 4, InputEvent::Type::TextEditing},
        {SDL_TEXTEDITING, "", 0, InputEvent::Type::TextEditing},
    };
    engine::SdlInput input;
    for (const Row& row : rows) {
        SDL_Event event{};
        event.type = row.type;
        if (row.type == SDL_TEXTINPUT) {
            SDL_strlcpy(event.text.text, row.text, sizeof event.text.text);
        } else {
            SDL_strlcpy(event.edit.text, row.text, sizeof event.edit.text);
            event.edit.start = row.start;
        }
        const auto got = input.translate(event);
        ASSERT_TRUE(got) << row.text;
        EXPECT_EQ(got->type, row.expected) << row.text;
        EXPECT_EQ(got->text, row.text);
        EXPECT_EQ(got->cursor, row.start) << row.text;
    }
    input.setPixelScale(2.0f, 2.0f);
    const SDL_Rect area = input.windowRect(engine::PixelRect{100, 40, 452, 88});
    EXPECT_EQ(area.x, 50);
    EXPECT_EQ(area.y, 20);
    EXPECT_EQ(area.w, 226);
    EXPECT_EQ(area.h, 44);
}

TEST(SdlKeys, DownAndUpArePressAndReleaseRepeatsAndUnnamedKeysAreDropped) {
    engine::SdlInput input;
    auto down = input.translate(keyEvent(SDL_KEYDOWN, SDLK_BACKSPACE));
    ASSERT_TRUE(down);
    EXPECT_EQ(down->type, InputEvent::Type::KeyPressed);
    EXPECT_EQ(down->key, K::KEY_BACKSPACE);
    EXPECT_FALSE(input.translate(keyEvent(SDL_KEYDOWN, SDLK_BACKSPACE, 1)));
    auto up = input.translate(keyEvent(SDL_KEYUP, SDLK_BACKSPACE));
    ASSERT_TRUE(up);
    EXPECT_EQ(up->type, InputEvent::Type::KeyReleased);
    EXPECT_EQ(up->key, K::KEY_BACKSPACE);
    EXPECT_FALSE(input.translate(keyEvent(SDL_KEYDOWN, SDLK_PAUSE)));
}

SDL_Event buttonEvent(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event event{};
    event.type = type;
    event.button.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

TEST(SdlMouse, TheLeftButtonTouchesAndTheRightAndMiddleAreMouseEvents) {
    using B = engine::EventMouse::MouseButton;
    struct Case {
        Uint32 type;
        Uint8 button;
        bool reported;
        InputEvent::Type as;
        B which;
    };
    const Case cases[] = {
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, true, InputEvent::Type::MouseDown, B::BUTTON_RIGHT},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, true, InputEvent::Type::MouseUp, B::BUTTON_RIGHT},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, true, InputEvent::Type::MouseDown,
         B::BUTTON_MIDDLE},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, true, InputEvent::Type::TouchBegan, B::BUTTON_UNSET},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, false, InputEvent::Type::Quit, B::BUTTON_UNSET},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.button));
        engine::SdlInput input;
        input.setPixelScale(2.0f, 2.0f);
        const auto event = input.translate(buttonEvent(c.type, c.button, 30, 40));
        ASSERT_EQ(event.has_value(), c.reported);
        if (!c.reported) {
            continue;
        }
        EXPECT_EQ(event->type, c.as);
        EXPECT_EQ(event->button, c.which);
        EXPECT_EQ(event->x, 60.0f);
        EXPECT_EQ(event->y, 80.0f);
    }
}

SDL_Event wheelEvent(int y, Uint32 direction) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.type = SDL_MOUSEWHEEL;
    event.wheel.y = y;
    event.wheel.direction = direction;
    return event;
}

TEST(SdlMouse, TheWheelTurnsAtThePointersLastPosition) {
    struct Case {
        const char* what;
        int y;
        Uint32 direction;
        float scroll;  // 0: nothing reported
    };
    const Case cases[] = {
        {"turned away from the user", 2, SDL_MOUSEWHEEL_NORMAL, -2},
        {"turned towards the user", -1, SDL_MOUSEWHEEL_NORMAL, 1},
        {"reported flipped by the system", -3, SDL_MOUSEWHEEL_FLIPPED, -3},
        {"only sideways", 0, SDL_MOUSEWHEEL_NORMAL, 0},
    };
    for (const Case& c : cases) {
        engine::SdlInput input;
        input.setPixelScale(2.0f, 2.0f);
        SDL_Event motion{};
        motion.type = SDL_MOUSEMOTION;
        motion.motion.x = 30;
        motion.motion.y = 40;
        EXPECT_FALSE(input.translate(motion)) << c.what << ": motion with no touch";
        const auto event = input.translate(wheelEvent(c.y, c.direction));
        ASSERT_EQ(event.has_value(), c.scroll != 0) << c.what;
        if (!event) {
            continue;
        }
        EXPECT_EQ(event->type, InputEvent::Type::MouseWheel) << c.what;
        EXPECT_EQ(event->scroll, c.scroll) << c.what;
        EXPECT_EQ(event->x, 60.0f) << c.what;
        EXPECT_EQ(event->y, 80.0f) << c.what;
    }
}

TEST(SdlMouse, ARightClickDuringATouchLeavesTheTouchGoing) {
    engine::SdlInput input;
    ASSERT_TRUE(input.translate(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 5)));
    ASSERT_TRUE(input.translate(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5)));
    ASSERT_TRUE(input.translate(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 5, 5)));
    const auto up = input.translate(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 5));
    ASSERT_TRUE(up);
    EXPECT_EQ(up->type, InputEvent::Type::TouchEnded);
}

}  // namespace
