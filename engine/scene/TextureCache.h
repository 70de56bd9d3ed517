#pragma once
// Images by the file a resource name resolves to, loaded once through the back end and kept until
// removed. A missing or unreadable image is reported on stderr once and gives null. Main thread
// only.

#include <cstddef>
#include <map>
#include <memory>
#include <string>

namespace engine {

class Texture;

class TextureCache {
public:
    std::shared_ptr<Texture> addImage(const std::string& filename);
    // addImage, and the image's decoding started on a worker thread (Texture::prepare): for a
    // large image the next screen is sure to draw, while the main thread does other work.
    void prefetchImage(const std::string& filename);
    void removeAllTextures() { m_textures.clear(); }
    // Drops the images nothing else holds (those of a resolution no longer in use).
    void removeUnusedTextures();
    size_t getTextureCount() const { return m_textures.size(); }

private:
    // By full path; a name that resolves to no file is kept under the name itself.
    std::map<std::string, std::shared_ptr<Texture>> m_textures;  // null for a failed name
};

}  // namespace engine
