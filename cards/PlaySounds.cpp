#include "cards/PlaySounds.h"

namespace {

constexpr std::string_view kPlaySound = "sound/cp.wav";
constexpr std::string_view kFourSameSound = "sound/3.mp3";
constexpr std::string_view kPassSound = "sound/by.mp3";
constexpr std::string_view kSameCardsSound = "sound/at.wav";
constexpr std::string_view kBombSound = "sound/boom.mp3";

}  // namespace

std::vector<std::string_view> ownPlaySounds(const BeatResult& result, std::size_t cardCount) {
    std::vector<std::string_view> sounds{kPlaySound};
    if (result.kind == HAND_SAME_CARDS && cardCount == 4) sounds.push_back(kFourSameSound);
    return sounds;
}

std::vector<std::string_view> shownPlaySounds(const std::vector<int>& cardsAsReceived) {
    if (cardsAsReceived.empty()) return {kPassSound};
    std::vector<std::string_view> sounds{kPlaySound};
    const int kind = classifyHand(cardsAsReceived).kind;
    if (kind == HAND_SAME_CARDS) sounds.push_back(kSameCardsSound);
    if (kind == HAND_BOMB) sounds.push_back(kBombSound);
    return sounds;
}

std::vector<std::string_view> echoedPlaySounds(const std::vector<int>& cardsAsReceived) {
    std::vector<std::string_view> sounds = shownPlaySounds(cardsAsReceived);
    std::erase(sounds, kPlaySound);
    return sounds;
}
