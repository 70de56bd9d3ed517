// SDL key events to the engine's keys, without a window: the names, repeats and unnamed keys.

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

}  // namespace
