#pragma once
// Music and sound effects through SDL_mixer, for the SDL back end. Main thread only.
//
// Opening tries the system's audio device first; SDL does not fall back by itself when there is
// none, so the device is then reopened with SDL's "dummy" driver: sounds become silent and every
// call still succeeds. Music and effects are cached by path for the life of the object, so a
// preloaded sound plays at once. A preloaded effect is decoded on a worker thread (EffectDecoder);
// a play that comes before the worker is done with it waits for it. Music is not decoded ahead
// (SDL_mixer streams it). A missing or unreadable file is silent and reported once on standard
// error.

#include <map>
#include <memory>
#include <set>
#include <string>

struct Mix_Chunk;
struct _Mix_Music;

namespace engine {

class EffectDecoder;

class SdlAudio {
public:
    SdlAudio();
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // The SDL audio driver in use ("dummy" after the fallback); empty when none could be opened.
    std::string driverName() const;

    // ---- Music: one track at a time
    void preloadMusic(const std::string& path);
    void playMusic(const std::string& path, bool loop);
    void stopMusic(bool releaseData);
    void setMusicVolume(float volume);

    // ---- Effects. gain 0..1 sets the volume, pan -1 (left) .. 1 (right); pitch is not supported.
    void preloadEffect(const std::string& path);
    // The channel number plus one, or 0 when nothing plays.
    unsigned playEffect(const std::string& path, bool loop, float pan, float gain);

private:
    bool open();
    void close();
    _Mix_Music* music(const std::string& path);
    Mix_Chunk* effect(const std::string& path);
    void reportMissing(const std::string& path, const char* why);

    bool m_open = false;
    std::unique_ptr<EffectDecoder> m_decoder;     // stopped before the device closes
    std::map<std::string, _Mix_Music*> m_music;   // owned; null marks a file that failed
    std::map<std::string, Mix_Chunk*> m_effects;  // owned; null marks a file that failed
    std::string m_playingMusic;                   // path of the track last started
    std::set<std::string> m_reported;
};

}  // namespace engine
