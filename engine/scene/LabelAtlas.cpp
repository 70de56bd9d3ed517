#include "engine/scene/LabelAtlas.h"

#include "engine/base/Create.h"
#include "engine/platform/Backend.h"
#include "engine/scene/Director.h"

namespace engine {

LabelAtlas* LabelAtlas::create() {
    auto* label = new LabelAtlas();
    label->autorelease();
    return label;
}

LabelAtlas* LabelAtlas::create(const std::string& text, const std::string& charMapFile,
                               int itemWidth, int itemHeight, int startCharMap) {
    return createAutoreleased(new LabelAtlas(), [&](LabelAtlas* l) {
        return l->initWithString(text, charMapFile, itemWidth, itemHeight, startCharMap);
    });
}

bool LabelAtlas::initWithString(const std::string& text, const std::string& charMapFile,
                                int itemWidth, int itemHeight, int startCharMap) {
    m_texture = FileTexture(charMapFile);
    m_texture.get();
    m_itemWidth = itemWidth;
    m_itemHeight = itemHeight;
    m_startChar = startCharMap;
    applyString(text);
    return true;
}

void LabelAtlas::setString(const std::string& text) {
    if (text != m_text) {
        applyString(text);
    }
}

void LabelAtlas::applyString(const std::string& text) {
    m_text = text;
    setContentSize(Size(static_cast<float>(m_itemWidth) * static_cast<float>(text.size()),
                        static_cast<float>(m_itemHeight)));
    Director::setNeedsRedraw();
}

void LabelAtlas::draw(const AffineTransform& toWorld) {
    const std::shared_ptr<Texture>& texture = m_texture.get();
    if (!texture || m_itemWidth <= 0 || m_itemHeight <= 0) {
        return;
    }
    const float scale = Director::getInstance()->getContentScaleFactor();
    const float w = static_cast<float>(m_itemWidth);
    const float h = static_cast<float>(m_itemHeight);
    const int columns = static_cast<int>(static_cast<float>(texture->width()) / (w * scale));
    const int rows = static_cast<int>(static_cast<float>(texture->height()) / (h * scale));
    for (size_t i = 0; i < m_text.size(); ++i) {
        const int glyph = static_cast<unsigned char>(m_text[i]) - m_startChar;
        if (columns <= 0 || glyph < 0 || glyph >= columns * rows) {
            continue;
        }
        const Rect source(static_cast<float>(glyph % columns) * w * scale,
                          static_cast<float>(glyph / columns) * h * scale, w * scale, h * scale);
        drawTexture(*texture, source, Rect(static_cast<float>(i) * w, 0, w, h), toWorld);
    }
}

}  // namespace engine
