#pragma once
// Text drawn with a TrueType font (SDL_ttf); anchor (0.5, 0.5). UTF-8, so Chinese works with a
// font that has the glyphs. Lines break at '\n' only. Its content size is the text's size, or
// the dimensions when given (the text then aligned inside them). The text is white, tinted by
// setColor. A missing font gives an empty label (size 0), reported on stderr once. Sizes are in
// points; the glyphs are rendered at the content scale (twice the font size at 2), so text stays
// sharp in a window scaled up, and rendered again when the content scale changes.

#include <memory>
#include <string>
#include <vector>

#include "engine/scene/Node.h"

namespace engine {

enum class TextHAlignment { LEFT, CENTER, RIGHT };
enum class TextVAlignment { TOP, CENTER, BOTTOM };

class Label : public Node {
public:
    static Label* create();
    static Label* createWithTTF(const std::string& text, const std::string& fontFilePath,
                                float fontSize, const Size& dimensions = Size::ZERO,
                                TextHAlignment hAlignment = TextHAlignment::LEFT,
                                TextVAlignment vAlignment = TextVAlignment::TOP);

    bool initWithTTF(const std::string& text, const std::string& fontFilePath, float fontSize,
                     const Size& dimensions, TextHAlignment hAlignment, TextVAlignment vAlignment);
    virtual void setString(const std::string& text);
    const std::string& getString() const { return m_text; }
    void setTextColor(const Color4B& color);

protected:
    Label();
    void draw(const AffineTransform& toWorld) override;

private:
    void renderLines();
    Size textSize() const;

    std::string m_text;
    std::string m_fontPath;  // resolved; empty when missing
    float m_fontSize = 12;
    Size m_dimensions;
    TextHAlignment m_hAlign = TextHAlignment::LEFT;
    TextVAlignment m_vAlign = TextVAlignment::TOP;
    std::vector<std::shared_ptr<Texture>> m_lines;  // one per line; null when it cannot render
    float m_renderScale = 1;                        // pixels per point of m_lines
};

}  // namespace engine
