#include "engine/scene/Label.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "engine/base/Create.h"
#include "engine/platform/Backend.h"
#include "engine/platform/FileUtils.h"
#include "engine/scene/Director.h"

namespace engine {

namespace {

// Resolves a font, reporting each missing one once.
std::string resolveFont(const std::string& name) {
    std::string path = FileUtils::getInstance()->fullPathForFilename(name);
    static std::set<std::string>* reported = new std::set<std::string>();
    if (path.empty() && reported->insert(name).second) {
        std::fprintf(stderr, "engine: font %s not found\n", name.c_str());
    }
    return path;
}

}  // namespace

Label::Label() {
    setAnchorPoint(Vec2::ANCHOR_MIDDLE);
}

Label* Label::create() {
    auto* label = new Label();
    label->autorelease();
    return label;
}

Label* Label::createWithTTF(const std::string& text, const std::string& fontFilePath,
                            float fontSize, const Size& dimensions, TextHAlignment hAlignment,
                            TextVAlignment vAlignment) {
    return createAutoreleased(new Label(), [&](Label* l) {
        return l->initWithTTF(text, fontFilePath, fontSize, dimensions, hAlignment, vAlignment);
    });
}

bool Label::initWithTTF(const std::string& text, const std::string& fontFilePath, float fontSize,
                        const Size& dimensions, TextHAlignment hAlignment,
                        TextVAlignment vAlignment) {
    m_fontPath = resolveFont(fontFilePath);
    m_fontSize = fontSize;
    m_dimensions = dimensions;
    m_hAlign = hAlignment;
    m_vAlign = vAlignment;
    m_text = text;
    renderLines();
    return true;
}

void Label::setString(const std::string& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    renderLines();
}

void Label::setTextColor(const Color4B& color) {
    setColor(Color3B(color.r, color.g, color.b));
    setOpacity(color.a);
}

void Label::renderLines() {
    m_lines.clear();
    m_renderScale = Director::getInstance()->getContentScaleFactor();
    if (!m_fontPath.empty()) {
        const int points = static_cast<int>(m_fontSize * m_renderScale + 0.5f);
        size_t start = 0;
        while (true) {
            const size_t end = m_text.find('\n', start);
            m_lines.push_back(backend().renderText(
                m_fontPath, points,
                m_text.substr(start, end == std::string::npos ? end : end - start)));
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    }
    const Size text = textSize();
    setContentSize(Size(m_dimensions.width > 0 ? m_dimensions.width : text.width,
                        m_dimensions.height > 0 ? m_dimensions.height : text.height));
    Director::setNeedsRedraw();
}

Size Label::textSize() const {
    Size size;
    for (const auto& line : m_lines) {
        if (line) {
            size.width = std::max(size.width, static_cast<float>(line->width()) / m_renderScale);
            size.height += static_cast<float>(line->height()) / m_renderScale;
        }
    }
    return size;
}

void Label::draw(const AffineTransform& toWorld) {
    if (m_renderScale != Director::getInstance()->getContentScaleFactor()) {
        renderLines();
    }
    const Size box = getContentSize();
    const Size text = textSize();
    // Top of the text block, measured up from the box's bottom.
    float top = box.height;
    if (m_vAlign == TextVAlignment::CENTER) {
        top = (box.height + text.height) / 2;
    } else if (m_vAlign == TextVAlignment::BOTTOM) {
        top = text.height;
    }
    for (const auto& line : m_lines) {
        if (!line) {
            continue;
        }
        const float pixelsW = static_cast<float>(line->width());
        const float pixelsH = static_cast<float>(line->height());
        const float w = pixelsW / m_renderScale;
        const float h = pixelsH / m_renderScale;
        float x = 0;
        if (m_hAlign == TextHAlignment::CENTER) {
            x = (box.width - w) / 2;
        } else if (m_hAlign == TextHAlignment::RIGHT) {
            x = box.width - w;
        }
        top -= h;
        if (w > 0) {
            drawTexture(*line, Rect(0, 0, pixelsW, pixelsH), Rect(x, top, w, h), toWorld);
        }
    }
}

}  // namespace engine
