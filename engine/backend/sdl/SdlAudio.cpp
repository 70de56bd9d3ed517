#include "engine/backend/sdl/SdlAudio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "engine/backend/sdl/EffectDecoder.h"

namespace engine {

namespace {

constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
constexpr int kChunkSize = 2048;
constexpr int kEffectChannels = 16;

// Left and right gains for Mix_SetPanning: the centre keeps both sides at full volume, and moving
// towards one side fades the other.
void panGains(float pan, Uint8& left, Uint8& right) {
    pan = std::clamp(pan, -1.0f, 1.0f);
    left = static_cast<Uint8>(255.0f * (pan > 0 ? 1.0f - pan : 1.0f));
    right = static_cast<Uint8>(255.0f * (pan < 0 ? 1.0f + pan : 1.0f));
}

}  // namespace

SdlAudio::SdlAudio() = default;

void SdlAudio::startOpening() {
    if (m_openingStarted) {
        return;
    }
    m_openingStarted = true;
    try {
        m_opener = std::thread(&SdlAudio::openDevice, this);
    } catch (const std::system_error&) {
        openDevice();  // no thread to be had: opened here, as the caller waits
    }
}

// the opening thread
void SdlAudio::openDevice() {
    Mix_Init(MIX_INIT_MP3);
    bool open = this->open();
    if (!open) {
        std::fprintf(stderr, "audio: no sound device (%s); using the silent driver\n",
                     SDL_GetError());
        close();
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        open = this->open();
        if (!open) {
            std::fprintf(stderr, "audio: the silent driver failed too: %s\n", SDL_GetError());
            close();
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = open;
        m_opening = false;
        if (m_open) {
            Mix_AllocateChannels(kEffectChannels);
        }
        doWaitingCalls();
    }
    m_opened.notify_all();
    // SDL frees what it keeps per thread (its error text) only for threads it made itself.
    SDL_TLSCleanup();
}

void SdlAudio::doWaitingCalls() {
    for (const std::string& path : m_waitingMusic) {
        music(path);
    }
    if (m_waitingVolume && m_open) {
        Mix_VolumeMusic(static_cast<int>(*m_waitingVolume * MIX_MAX_VOLUME));
    }
    if (m_waitingPlay) {
        startMusic(m_waitingPlay->path, m_waitingPlay->loop);
    }
    for (const std::string& path : m_waitingEffects) {
        requestEffect(path);
    }
    m_waitingMusic.clear();
    m_waitingEffects.clear();
    m_waitingPlay.reset();
    m_waitingVolume.reset();
}

SdlAudio::~SdlAudio() {
    if (m_opener.joinable()) {
        m_opener.join();
    }
    m_decoder.reset();
    if (m_open) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
    }
    for (auto& [path, chunk] : m_effects) {
        if (chunk) {
            Mix_FreeChunk(chunk);
        }
    }
    for (auto& [path, track] : m_music) {
        if (track) {
            Mix_FreeMusic(track);
        }
    }
    if (m_open) {
        close();
    }
    Mix_Quit();
}

bool SdlAudio::open() {
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
           Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, kChannels, kChunkSize) == 0;
}

void SdlAudio::close() {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::string SdlAudio::driverName() {
    startOpening();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_opened.wait(lock, [this] { return !m_opening; });
    const char* name = m_open ? SDL_GetCurrentAudioDriver() : nullptr;
    return name ? name : "";
}

void SdlAudio::reportMissing(const std::string& path, const char* why) {
    if (m_reported.insert(path).second) {
        std::fprintf(stderr, "audio: cannot load %s: %s\n", path.c_str(), why);
    }
}

_Mix_Music* SdlAudio::music(const std::string& path) {
    auto found = m_music.find(path);
    if (found != m_music.end()) {
        return found->second;
    }
    Mix_Music* track = m_open ? Mix_LoadMUS(path.c_str()) : nullptr;
    if (!track && m_open) {
        reportMissing(path, Mix_GetError());
    }
    m_music.emplace(path, track);
    return track;
}

Mix_Chunk* SdlAudio::effect(const std::string& path) {
    auto found = m_effects.find(path);
    if (found != m_effects.end()) {
        return found->second;
    }
    std::string error;
    Mix_Chunk* chunk = nullptr;
    if (m_decoder && m_decoder->has(path)) {
        chunk = m_decoder->take(path, error);
    } else if (m_open) {
        chunk = Mix_LoadWAV(path.c_str());
        error = chunk ? "" : Mix_GetError();
    }
    if (!chunk && m_open) {
        reportMissing(path, error.c_str());
    }
    m_effects.emplace(path, chunk);
    return chunk;
}

void SdlAudio::preloadMusic(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_opening) {
        m_waitingMusic.push_back(path);
        return;
    }
    music(path);
}

void SdlAudio::playMusic(const std::string& path, bool loop) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_opening) {
        m_waitingPlay = MusicToPlay{path, loop};
        return;
    }
    startMusic(path, loop);
}

void SdlAudio::startMusic(const std::string& path, bool loop) {
    Mix_Music* track = music(path);
    if (!track) {
        return;
    }
    if (Mix_PlayMusic(track, loop ? -1 : 1) == 0) {
        m_playingMusic = path;
    }
}

void SdlAudio::stopMusic(bool releaseData) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waitingPlay.reset();
    if (!m_open) {
        return;
    }
    Mix_HaltMusic();
    if (releaseData && !m_playingMusic.empty()) {
        auto found = m_music.find(m_playingMusic);
        if (found != m_music.end() && found->second) {
            Mix_FreeMusic(found->second);
            m_music.erase(found);
        }
    }
    m_playingMusic.clear();
}

void SdlAudio::setMusicVolume(float volume) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_opening) {
        m_waitingVolume = std::clamp(volume, 0.0f, 1.0f);
    } else if (m_open) {
        Mix_VolumeMusic(static_cast<int>(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME));
    }
}

void SdlAudio::preloadEffect(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_opening) {
        m_waitingEffects.push_back(path);
        return;
    }
    requestEffect(path);
}

void SdlAudio::requestEffect(const std::string& path) {
    if (!m_open || m_effects.count(path) != 0) {
        return;
    }
    if (!m_decoder) {
        m_decoder = std::make_unique<EffectDecoder>();
    }
    m_decoder->request(path);
}

unsigned SdlAudio::playEffect(const std::string& path, bool loop, float pan, float gain) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_opening) {
        return 0;  // nothing to play it on yet: dropped
    }
    Mix_Chunk* chunk = effect(path);
    if (!chunk) {
        return 0;
    }
    const int channel = Mix_PlayChannel(-1, chunk, loop ? -1 : 0);
    if (channel < 0) {
        return 0;  // every channel is busy: the effect is dropped
    }
    Mix_Volume(channel, static_cast<int>(std::clamp(gain, 0.0f, 1.0f) * MIX_MAX_VOLUME));
    Uint8 left = 255;
    Uint8 right = 255;
    panGains(pan, left, right);
    Mix_SetPanning(channel, left, right);
    return static_cast<unsigned>(channel) + 1;
}

}  // namespace engine
