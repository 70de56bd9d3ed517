#pragma once
// Music and sound effects through SDL_mixer, for the SDL back end. The calls: main thread.
//
// The device is opened on a thread of its own, started once the first frame is shown, so that
// neither the window nor its first frame waits for it or shares the processor and the dynamic
// loader with it: where no sound server runs, finding that out takes tens of milliseconds. Until
// it is open, preloads, the music to play and its volume are noted and
// done by that thread as soon as it is open (under m_mutex, which every call takes), and an
// effect played is dropped. Opening tries the system's audio device first; SDL does not fall back
// by itself when there is none, so the device is then reopened with SDL's "dummy" driver: sounds
// become silent and every call still succeeds. Music and effects are cached by path for the life of the object, so a
// preloaded sound plays at once. A preloaded effect is decoded on a worker thread (EffectDecoder);
// a play that comes before the worker is done with it waits for it. Music is not decoded ahead
// (SDL_mixer streams it). A missing or unreadable file is silent and reported once on standard
// error.

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct Mix_Chunk;
struct _Mix_Music;

namespace engine {

class EffectDecoder;

class SdlAudio {
public:
    SdlAudio();
    ~SdlAudio();  // waits for an opening under way to end, then closes the device

    // Starts opening the device on its own thread; later calls do nothing.
    void startOpening();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // The SDL audio driver in use ("dummy" after the fallback); empty when none could be opened.
    // Starts the opening if it has not started, and waits for it to end.
    std::string driverName();

    // ---- Music: one track at a time
    void preloadMusic(const std::string& path);
    void playMusic(const std::string& path, bool loop);
    void stopMusic(bool releaseData);
    void setMusicVolume(float volume);

    // ---- Effects. gain 0..1 sets the volume, pan -1 (left) .. 1 (right); pitch is not supported.
    void preloadEffect(const std::string& path);
    // The channel number plus one, or 0 when nothing plays (or the device is still opening).
    unsigned playEffect(const std::string& path, bool loop, float pan, float gain);

private:
    struct MusicToPlay {
        std::string path;
        bool loop = false;
    };

    void openDevice();  // the opening thread
    bool open();
    void close();
    void doWaitingCalls();  // under m_mutex, once the opening has ended
    // Under m_mutex, once the device has opened.
    void startMusic(const std::string& path, bool loop);
    void requestEffect(const std::string& path);
    _Mix_Music* music(const std::string& path);
    Mix_Chunk* effect(const std::string& path);
    void reportMissing(const std::string& path, const char* why);

    std::mutex m_mutex;                 // guards what follows up to m_reported, and SDL_mixer
    std::condition_variable m_opened;   // m_opening became false
    bool m_opening = true;              // the opening thread has not ended yet
    bool m_open = false;                // a device is open (valid once m_opening is false)
    // Calls that came while the device was opening, done when it has opened.
    std::vector<std::string> m_waitingMusic;
    std::vector<std::string> m_waitingEffects;
    std::optional<MusicToPlay> m_waitingPlay;
    std::optional<float> m_waitingVolume;
    std::unique_ptr<EffectDecoder> m_decoder;     // stopped before the device closes
    std::map<std::string, _Mix_Music*> m_music;   // owned; null marks a file that failed
    std::map<std::string, Mix_Chunk*> m_effects;  // owned; null marks a file that failed
    std::string m_playingMusic;                   // path of the track last started
    std::set<std::string> m_reported;
    bool m_openingStarted = false;  // main thread
    std::thread m_opener;
};

}  // namespace engine
