#pragma once
// A push button drawn from three images: normal, pressed (while held on it) and disabled. An
// empty pressed or disabled name shows the normal image in that state. Its content size is the
// normal image's; each image is drawn at its own size, centred. Anchor (0.5, 0.5).

#include <string>

#include "engine/ui/Widget.h"

namespace engine {

class SpriteFrame;

namespace ui {

class Button : public Widget {
public:
    static Button* create();
    // Images are files (LOCAL) or sprite-frame names (PLIST). Autoreleased.
    static Button* create(const std::string& normalImage, const std::string& selectedImage = "",
                          const std::string& disableImage = "",
                          TextureResType texType = TextureResType::LOCAL);
    ~Button() override;

    bool init() override;
    bool init(const std::string& normalImage, const std::string& selectedImage,
              const std::string& disableImage, TextureResType texType);
    void loadTextures(const std::string& normal, const std::string& selected,
                      const std::string& disabled, TextureResType texType = TextureResType::LOCAL);
    void loadTextureNormal(const std::string& name, TextureResType texType = TextureResType::LOCAL);
    void loadTexturePressed(const std::string& name,
                            TextureResType texType = TextureResType::LOCAL);
    void loadTextureDisabled(const std::string& name,
                             TextureResType texType = TextureResType::LOCAL);

    // Which image shows now (for tests): 0 normal, 1 pressed, 2 disabled.
    int shownImage() const;

protected:
    Button() = default;
    void draw(const AffineTransform& toWorld) override;

private:
    void setImage(SpriteFrame*& slot, const std::string& name, TextureResType texType);

    SpriteFrame* m_normal = nullptr;  // retained; null when not loaded
    SpriteFrame* m_pressed = nullptr;
    SpriteFrame* m_disabled = nullptr;
};

}  // namespace ui
}  // namespace engine
