#pragma once
// Background music and sound effects, forwarded to the back end with the resource names resolved
// to files. A missing file is reported on stderr once and plays nothing. Main thread only.

#include <string>

namespace engine {

class SimpleAudioEngine {
public:
    static SimpleAudioEngine* getInstance();

    void preloadBackgroundMusic(const std::string& filePath);
    void playBackgroundMusic(const std::string& filePath, bool loop = false);
    // `releaseData` false keeps the music loaded for a later play.
    void stopBackgroundMusic(bool releaseData = false);
    bool isBackgroundMusicPlaying() const { return m_musicPlaying; }

    void preloadEffect(const std::string& filePath);
    // Returns the back end's id for the playing effect.
    unsigned playEffect(const std::string& filePath, bool loop = false, float pitch = 1.0f,
                        float pan = 0.0f, float gain = 1.0f);

private:
    std::string resolve(const std::string& filePath) const;

    bool m_musicPlaying = false;
};

}  // namespace engine
