#pragma once
// The buttons and labels of the hall and the desk, made one way.

#include <functional>
#include <string>

#include "engine/ui/Widget.h"

namespace engine {
class Label;
class Ref;
class Sprite;
namespace ui {
class Button;
}
}  // namespace engine

// A button from image files whose disabled look is the pressed one (held down). Null when the
// normal image cannot be loaded: a button without an image could never be pressed.
engine::ui::Button* makeImageButton(const std::string& normal, const std::string& pressed);

// A text label in "fonts/arial.ttf" of `size` points, sized to its text, left and top aligned.
engine::Label* makeTextLabel(const std::string& text, float size);

// A sprite showing the catalogue's frame `frameName`; an empty sprite when no such frame is
// registered (the catalogue registers every frame the scenes use).
engine::Sprite* makeFrameSprite(const std::string& frameName);

// A key that stands for a button: calls `onButton` as a release on `button` would, when the
// button is shown and enabled; false (nothing done) otherwise.
bool pressByKey(engine::ui::Button* button,
                const std::function<void(engine::Ref*, engine::ui::Widget::TouchEventType)>& onButton);
