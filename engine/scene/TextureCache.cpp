#include "engine/scene/TextureCache.h"

#include <cstdio>

#include "engine/platform/Backend.h"
#include "engine/platform/FileUtils.h"

namespace engine {

std::shared_ptr<Texture> TextureCache::addImage(const std::string& filename) {
    const std::string path = FileUtils::getInstance()->fullPathForFilename(filename);
    const std::string& key = path.empty() ? filename : path;
    auto found = m_textures.find(key);
    if (found != m_textures.end()) {
        return found->second;
    }
    std::shared_ptr<Texture> texture;
    if (path.empty()) {
        std::fprintf(stderr, "engine: image %s not found\n", filename.c_str());
    } else if (!(texture = backend().loadImage(path))) {
        std::fprintf(stderr, "engine: image %s cannot be read\n", path.c_str());
    }
    m_textures.emplace(key, texture);
    return texture;
}

void TextureCache::prefetchImage(const std::string& filename) {
    if (const std::shared_ptr<Texture> texture = addImage(filename)) {
        texture->prepare();
    }
}

void TextureCache::removeUnusedTextures() {
    for (auto it = m_textures.begin(); it != m_textures.end();) {
        if (it->second && it->second.use_count() == 1) {
            it = m_textures.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace engine
