#include "engine/backend/sdl/EffectDecoder.h"

#include <SDL_mixer.h>
#include <SDL_thread.h>

namespace engine {

// main thread
EffectDecoder::~EffectDecoder() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable()) {
        m_worker.join();
    }
    for (auto& [path, result] : m_results) {
        if (result.chunk) {
            Mix_FreeChunk(result.chunk);
        }
    }
}

// main thread
void EffectDecoder::request(const std::string& path) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_results.emplace(path, Result{}).second) {
            return;
        }
        m_queue.push_back(path);
    }
    m_changed.notify_all();
    if (!m_worker.joinable()) {
        m_worker = std::thread([this] {
            // Preloading runs while the first screen is built and drawn: it takes the cores
            // only when they are free, and a play that needs its effect waits for it anyway.
            SDL_SetThreadPriority(SDL_THREAD_PRIORITY_LOW);
            run();
            // SDL keeps an error text per thread, freed only for threads SDL started itself.
            SDL_TLSCleanup();
        });
    }
}

// main thread
bool EffectDecoder::has(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_results.count(path) != 0;
}

// main thread
Mix_Chunk* EffectDecoder::take(const std::string& path, std::string& error) {
    std::unique_lock<std::mutex> lock(m_mutex);
    auto found = m_results.find(path);
    if (found == m_results.end()) {
        error = "never requested";
        return nullptr;
    }
    m_changed.wait(lock, [&found] { return found->second.done; });
    Mix_Chunk* chunk = found->second.chunk;
    error = found->second.error;
    m_results.erase(found);
    return chunk;
}

// worker thread
void EffectDecoder::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping) {
            return;
        }
        const std::string path = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
        const std::string error = chunk ? "" : Mix_GetError();  // SDL keeps errors per thread
        lock.lock();
        Result& result = m_results[path];
        result.chunk = chunk;
        result.error = error;
        result.done = true;
        m_changed.notify_all();
    }
}

}  // namespace engine
