#pragma once
// Text drawn from a strip of fixed-size glyph images ("num.png": 14 x 21 glyphs, the first one
// the character '0'); anchor (0, 0). Character c is glyph c - startChar, counted left to right
// and then row by row. Its content size is (characters x itemWidth, itemHeight); characters
// outside the strip take their place but draw nothing. Item sizes are in points; the strip is
// read at the content scale (glyphs twice as large in the double-size image).

#include <memory>
#include <string>

#include "engine/scene/FileTexture.h"
#include "engine/scene/Node.h"

namespace engine {

class LabelAtlas : public Node {
public:
    static LabelAtlas* create();
    static LabelAtlas* create(const std::string& text, const std::string& charMapFile,
                              int itemWidth, int itemHeight, int startCharMap);

    bool initWithString(const std::string& text, const std::string& charMapFile, int itemWidth,
                        int itemHeight, int startCharMap);
    virtual void setString(const std::string& text);
    const std::string& getString() const { return m_text; }

protected:
    LabelAtlas() = default;
    void draw(const AffineTransform& toWorld) override;

private:
    void applyString(const std::string& text);

    std::string m_text;
    FileTexture m_texture;
    int m_itemWidth = 0;
    int m_itemHeight = 0;
    int m_startChar = 0;
};

}  // namespace engine
