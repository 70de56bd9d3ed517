#pragma once
// Decodes sound effects on a worker thread of its own, so that preloading every effect at
// start-up costs the main thread nothing and the first play of an effect finds it decoded (an
// MP3 effect takes 10 to 30 ms to decode on the build machine). The SDL_mixer device must stay
// open while the object lives.
//
// request, has and take: main thread. The decoding (Mix_LoadWAV: reads the file and converts it
// to the device's format; it touches no channel): the worker thread, in the order requested.

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>

struct Mix_Chunk;

namespace engine {

class EffectDecoder {
public:
    EffectDecoder() = default;
    // Lets the worker finish the effect it is decoding, then stops it; frees what was not taken.
    ~EffectDecoder();
    EffectDecoder(const EffectDecoder&) = delete;
    EffectDecoder& operator=(const EffectDecoder&) = delete;

    // Queues `path` for decoding; the worker starts at the first request.
    void request(const std::string& path);
    // Whether `path` was requested and not taken yet.
    bool has(const std::string& path) const;
    // The decoded effect of a requested path, now the caller's, waiting for the worker if it has
    // not got to it yet; null when it cannot be decoded, with SDL_mixer's reason in `error`.
    Mix_Chunk* take(const std::string& path, std::string& error);

private:
    struct Result {
        Mix_Chunk* chunk = nullptr;
        std::string error;
        bool done = false;
    };

    void run();  // worker thread

    mutable std::mutex m_mutex;  // guards everything below but m_worker
    std::condition_variable m_changed;
    std::deque<std::string> m_queue;
    std::map<std::string, Result> m_results;  // every requested path not taken yet
    bool m_stopping = false;
    std::thread m_worker;  // main thread only
};

}  // namespace engine
