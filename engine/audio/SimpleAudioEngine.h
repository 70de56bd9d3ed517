#pragma once
// Background music and sound effects, forwarded to the back end with the resource names resolved
// to files. A missing file is reported on stderr once and plays nothing. The effects' volume
// multiplies each effect's gain; at 0 no effect is played at all. Main thread only.

#include <string>

namespace engine {

class SimpleAudioEngine {
public:
    static SimpleAudioEngine* getInstance();

    void preloadBackgroundMusic(const std::string& filePath);
    void playBackgroundMusic(const std::string& filePath, bool loop = false);
    // `releaseData` false keeps the music loaded for a later play.
    void stopBackgroundMusic(bool releaseData = false);
    // 0..1; values outside are clamped.
    void setBackgroundMusicVolume(float volume);
    void setEffectsVolume(float volume);
    float getEffectsVolume() const { return m_effectsVolume; }

    void preloadEffect(const std::string& filePath);
    // Returns the back end's id for the playing effect; 0 when none plays (volume 0).
    unsigned playEffect(const std::string& filePath, bool loop = false, float pitch = 1.0f,
                        float pan = 0.0f, float gain = 1.0f);

private:
    std::string resolve(const std::string& filePath) const;

    float m_effectsVolume = 1.0f;
};

}  // namespace engine
