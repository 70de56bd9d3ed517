#include "engine/audio/SimpleAudioEngine.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "engine/platform/Backend.h"
#include "engine/platform/FileUtils.h"

namespace engine {

SimpleAudioEngine* SimpleAudioEngine::getInstance() {
    static SimpleAudioEngine* instance = new SimpleAudioEngine();
    return instance;
}

std::string SimpleAudioEngine::resolve(const std::string& filePath) const {
    std::string path = FileUtils::getInstance()->fullPathForFilename(filePath);
    if (!path.empty()) {
        return path;
    }
    static std::set<std::string>* reported = new std::set<std::string>();
    if (reported->insert(filePath).second) {
        std::fprintf(stderr, "engine: sound %s not found\n", filePath.c_str());
    }
    return filePath;  // the back end fails quietly on it
}

void SimpleAudioEngine::preloadBackgroundMusic(const std::string& filePath) {
    backend().preloadMusic(resolve(filePath));
}

void SimpleAudioEngine::playBackgroundMusic(const std::string& filePath, bool loop) {
    backend().playMusic(resolve(filePath), loop);
}

void SimpleAudioEngine::stopBackgroundMusic(bool releaseData) {
    backend().stopMusic(releaseData);
}

void SimpleAudioEngine::preloadEffect(const std::string& filePath) {
    backend().preloadEffect(resolve(filePath));
}

unsigned SimpleAudioEngine::playEffect(const std::string& filePath, bool loop, float pitch,
                                       float pan, float gain) {
    if (m_effectsVolume <= 0) {
        return 0;
    }
    return backend().playEffect(resolve(filePath), loop, pitch, pan, gain * m_effectsVolume);
}

void SimpleAudioEngine::setBackgroundMusicVolume(float volume) {
    backend().setMusicVolume(std::clamp(volume, 0.0f, 1.0f));
}

void SimpleAudioEngine::setEffectsVolume(float volume) {
    m_effectsVolume = std::clamp(volume, 0.0f, 1.0f);
}

}  // namespace engine
