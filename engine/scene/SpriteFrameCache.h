#pragma once
// Sprite frames by name, kept (retained) for the life of the process. Main thread only.

#include <cstddef>
#include <map>
#include <string>

namespace engine {

class SpriteFrame;

class SpriteFrameCache {
public:
    static SpriteFrameCache* getInstance();

    // Retains `frame` under `name`, replacing a frame of that name.
    void addSpriteFrame(SpriteFrame* frame, const std::string& name);
    // Null (and a line on stderr) for an unknown name.
    SpriteFrame* getSpriteFrameByName(const std::string& name) const;
    size_t size() const { return m_frames.size(); }
    // Has every frame look its image up again now (after the search resolution order changed),
    // so that frames no node draws stop holding the images of the other resolution.
    void refreshTextures() const;

private:
    std::map<std::string, SpriteFrame*> m_frames;
};

}  // namespace engine
