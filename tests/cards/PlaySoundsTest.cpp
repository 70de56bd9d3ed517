#include <gtest/gtest.h>

#include "cards/PlaySounds.h"

namespace {

using Sounds = std::vector<std::string_view>;

TEST(PlaySounds, OwnPlayAddsTheFourSameCardsSound) {
    struct Case {
        BeatResult result;
        std::size_t cards;
        Sounds sounds;
    };
    const Case cases[] = {
        {{true, HAND_SINGLE}, 1, {"sound/cp.wav"}},
        {{true, HAND_SAME_CARDS}, 3, {"sound/cp.wav"}},
        {{true, HAND_SAME_CARDS}, 4, {"sound/cp.wav", "sound/3.mp3"}},
        {{true, HAND_BOMB}, 4, {"sound/cp.wav"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ownPlaySounds(c.result, c.cards), c.sounds) << c.result.kind << "/" << c.cards;
    }
}

TEST(PlaySounds, ShownPlayFollowsTheKindAsReceived) {
    struct Case {
        std::vector<int> cards;
        Sounds sounds;
    };
    const Case cases[] = {
        {{}, {"sound/by.mp3"}},
        {{8}, {"sound/cp.wav"}},
        {{8, 8, 8}, {"sound/cp.wav", "sound/at.wav"}},
        {{53, 53, 53, 53}, {"sound/cp.wav", "sound/at.wav"}},
        {{11, 9, 10, 8}, {"sound/cp.wav", "sound/boom.mp3"}},
        {{9, 8, 8, 8}, {"sound/cp.wav", "sound/boom.mp3"}},
        {{13, 12, 9, 8, 17, 16, 21, 20}, {"sound/cp.wav"}},
        {{8, 20}, {"sound/cp.wav"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shownPlaySounds(c.cards), c.sounds) << ::testing::PrintToString(c.cards);
    }
}

}  // namespace
