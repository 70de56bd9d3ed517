#pragma once
// Images by resource name, loaded once through the back end and kept for the process.
// A missing or unreadable image is reported on stderr once and gives null. Main thread only.

#include <map>
#include <memory>
#include <string>

namespace engine {

class Texture;

class TextureCache {
public:
    std::shared_ptr<Texture> addImage(const std::string& filename);
    void removeAllTextures() { m_textures.clear(); }

private:
    std::map<std::string, std::shared_ptr<Texture>> m_textures;  // null for a failed name
};

}  // namespace engine
