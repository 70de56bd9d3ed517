#include "engine/scene/SpriteFrameCache.h"

#include <cstdio>

#include "engine/scene/SpriteFrame.h"

namespace engine {

SpriteFrameCache* SpriteFrameCache::getInstance() {
    static SpriteFrameCache* cache = new SpriteFrameCache();
    return cache;
}

void SpriteFrameCache::addSpriteFrame(SpriteFrame* frame, const std::string& name) {
    if (!frame) {
        return;
    }
    frame->retain();
    auto found = m_frames.find(name);
    if (found != m_frames.end()) {
        found->second->release();
        found->second = frame;
    } else {
        m_frames.emplace(name, frame);
    }
}

SpriteFrame* SpriteFrameCache::getSpriteFrameByName(const std::string& name) const {
    auto found = m_frames.find(name);
    if (found == m_frames.end()) {
        std::fprintf(stderr, "engine: sprite frame %s not found\n", name.c_str());
        return nullptr;
    }
    return found->second;
}

void SpriteFrameCache::refreshTextures() const {
    for (const auto& [name, frame] : m_frames) {
        frame->getTexture();
    }
}

}  // namespace engine
