#include "engine/scene/FileTexture.h"

#include "engine/platform/FileUtils.h"
#include "engine/scene/Director.h"
#include "engine/scene/TextureCache.h"

namespace engine {

FileTexture::FileTexture(std::string filename) : m_filename(std::move(filename)) {}

const std::shared_ptr<Texture>& FileTexture::get() const {
    const unsigned generation = FileUtils::getInstance()->getSearchGeneration();
    if (!m_filename.empty() && (!m_loaded || generation != m_generation)) {
        m_texture = Director::getInstance()->getTextureCache()->addImage(m_filename);
        m_generation = generation;
        m_loaded = true;
    }
    return m_texture;
}

}  // namespace engine
