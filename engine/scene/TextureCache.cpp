#include "engine/scene/TextureCache.h"

#include <cstdio>

#include "engine/platform/Backend.h"
#include "engine/platform/FileUtils.h"

namespace engine {

std::shared_ptr<Texture> TextureCache::addImage(const std::string& filename) {
    auto found = m_textures.find(filename);
    if (found != m_textures.end()) {
        return found->second;
    }
    std::shared_ptr<Texture> texture;
    const std::string path = FileUtils::getInstance()->fullPathForFilename(filename);
    if (path.empty()) {
        std::fprintf(stderr, "engine: image %s not found\n", filename.c_str());
    } else if (!(texture = backend().loadImage(path))) {
        std::fprintf(stderr, "engine: image %s cannot be read\n", path.c_str());
    }
    m_textures.emplace(filename, texture);
    return texture;
}

}  // namespace engine
