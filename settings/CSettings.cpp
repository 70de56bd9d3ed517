#include "settings/CSettings.h"

#include <algorithm>
#include <cstdint>
#include <random>

#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/UserDefault.h"
#include "wire/GameConstants.h"
#include "wire/PlayerName.h"

using engine::SimpleAudioEngine;
using engine::UserDefault;

namespace {

constexpr const char* kMusicOn = "musicOn";
constexpr const char* kEffectsOn = "effectsOn";
constexpr const char* kMusicVolume = "musicVolume";
constexpr const char* kEffectsVolume = "effectsVolume";
constexpr const char* kFullScreen = "fullScreen";
constexpr const char* kWindowWidth = "windowWidth";
constexpr const char* kWindowHeight = "windowHeight";
constexpr const char* kHallMusic = "sound/bj.mp3";
constexpr const char* kPlayerToken = "playerToken";
constexpr const char* kPlayerName = "playerName";
constexpr const char* kServerAddress = "serverAddress";

int clampStep(int step) {
    return std::clamp(step, 1, CSettings::kVolumeSteps);
}

float volumeOf(int step) {
    return static_cast<float>(clampStep(step)) / CSettings::kVolumeSteps;
}

UserDefault* store() {
    return UserDefault::getInstance();
}

int keptVolume(const char* key) {
    return clampStep(store()->getIntegerForKey(key, CSettings::kVolumeSteps));
}

void keepVolume(const char* key, int step) {
    store()->setIntegerForKey(key, clampStep(step));
    store()->flush();
    CSettings::applyAudio();
}

}  // namespace

void CSettings::applyAudio() {
    SimpleAudioEngine* audio = SimpleAudioEngine::getInstance();
    audio->setBackgroundMusicVolume(volumeOf(musicVolume()));
    audio->setEffectsVolume(effectsOn() ? volumeOf(effectsVolume()) : 0.0f);
}

void CSettings::playHallMusic() {
    if (musicOn()) {
        SimpleAudioEngine::getInstance()->playBackgroundMusic(kHallMusic, true);
    }
}

bool CSettings::musicOn() {
    return store()->getBoolForKey(kMusicOn, true);
}

void CSettings::setMusicOn(bool on, bool playHere) {
    store()->setBoolForKey(kMusicOn, on);
    store()->flush();
    if (!on) {
        SimpleAudioEngine::getInstance()->stopBackgroundMusic(false);
    } else if (playHere) {
        playHallMusic();
    }
}

bool CSettings::effectsOn() {
    return store()->getBoolForKey(kEffectsOn, true);
}

void CSettings::setEffectsOn(bool on) {
    store()->setBoolForKey(kEffectsOn, on);
    store()->flush();
    applyAudio();
}

int CSettings::musicVolume() {
    return keptVolume(kMusicVolume);
}

void CSettings::setMusicVolume(int step) {
    keepVolume(kMusicVolume, step);
}

int CSettings::effectsVolume() {
    return keptVolume(kEffectsVolume);
}

void CSettings::setEffectsVolume(int step) {
    keepVolume(kEffectsVolume, step);
}

bool CSettings::fullScreen() {
    return store()->getBoolForKey(kFullScreen, false);
}

void CSettings::setFullScreen(bool on) {
    store()->setBoolForKey(kFullScreen, on);
    store()->flush();
}

engine::Size CSettings::windowSize() {
    const int width = store()->getIntegerForKey(kWindowWidth, kDefaultWidth);
    const int height = store()->getIntegerForKey(kWindowHeight, kDefaultHeight);
    return engine::Size(static_cast<float>(std::max(width, kMinimumWidth)),
                        static_cast<float>(std::max(height, kMinimumHeight)));
}

void CSettings::setWindowSize(int width, int height) {
    if (width == store()->getIntegerForKey(kWindowWidth, 0) &&
        height == store()->getIntegerForKey(kWindowHeight, 0)) {
        return;
    }
    store()->setIntegerForKey(kWindowWidth, width);
    store()->setIntegerForKey(kWindowHeight, height);
    store()->flush();
}

std::string CSettings::playerToken() {
    std::string token = store()->getStringForKey(kPlayerToken, "");
    if (isPlayerToken(token)) {
        return token;
    }
    // 32-bit draws from the system's source, 8 hex digits each.
    std::random_device source;
    static constexpr char kDigits[] = "0123456789abcdef";
    token.clear();
    for (int draw = 0; draw < kPlayerTokenDigits / 8; ++draw) {
        std::uint32_t bits = source();
        for (int digit = 0; digit < 8; ++digit) {
            token += kDigits[bits & 15u];
            bits >>= 4;
        }
    }
    store()->setStringForKey(kPlayerToken, token);
    store()->flush();
    return token;
}

std::string CSettings::playerName() {
    return checkPlayerName(store()->getStringForKey(kPlayerName, "")).name;
}

bool CSettings::setPlayerName(const std::string& name) {
    const NameCheck check = checkPlayerName(name);
    if (check.fault != NameFault::None) {
        return false;
    }
    store()->setStringForKey(kPlayerName, check.name);
    store()->flush();
    return true;
}

std::string CSettings::serverAddress() {
    return store()->getStringForKey(kServerAddress, "");
}

void CSettings::setServerAddress(const std::string& address) {
    store()->setStringForKey(kServerAddress, address);
    store()->flush();
}
