#pragma once
// The buttons and labels of the hall and the desk, made one way.

#include <functional>
#include <string>
#include <string_view>

#include "engine/base/Color.h"
#include "engine/input/EventKeyboard.h"
#include "engine/ui/Widget.h"
#include "scenes/common/CLazyPanel.h"

namespace engine {
class Label;
class Node;
class Ref;
class Sprite;
struct Vec2;
namespace ui {
class Button;
}
}  // namespace engine

// A button from image files whose disabled look is the pressed one (held down). Null when the
// normal image cannot be loaded: a button without an image could never be pressed.
engine::ui::Button* makeImageButton(const std::string& normal, const std::string& pressed);

// A plain blue button `width` points wide (the phrase button's picture stretched across) with
// `text` centred on it in `size` points. Null when the picture or the font cannot be loaded.
engine::ui::Button* makeTextButton(const std::string& text, float width, float size);

// Calls `press` when a touch that began on `button` is released on it.
void onRelease(engine::ui::Button* button, const std::function<void()>& press);

// The table's gold (headings, codes, what stands out) and the red of what went wrong.
inline const engine::Color3B kTableGold{233, 189, 85};
inline const engine::Color3B kWarningRed{255, 120, 100};

// The middle of the design resolution (1024 x 768), where the panels over a scene stand.
inline constexpr float kDesignCentreX = 512;
inline constexpr float kDesignCentreY = 384;

// A text label in "fonts/arial.ttf" of `size` points, sized to its text, left and top aligned.
engine::Label* makeTextLabel(const std::string& text, float size);
// The same, its left edge's middle at `at` (a column of a table).
engine::Label* makeLeftLabel(const std::string& text, float size, const engine::Vec2& at);

// A sprite showing the catalogue's frame `frameName`; an empty sprite when no such frame is
// registered (the catalogue registers every frame the scenes use).
engine::Sprite* makeFrameSprite(const std::string& frameName);

// One sound effect, no loop, at the normal pitch, centred, full gain.
void playEffectOnce(std::string_view path);

// A key that stands for a button: calls `onButton` as a release on `button` would, when the
// button is shown and enabled; false (nothing done) otherwise.
bool pressByKey(engine::ui::Button* button,
                const std::function<void(engine::Ref*, engine::ui::Widget::TouchEventType)>& onButton);

// ---- Panels over a scene (the settings, the record panel, the talk panel)
// Adds the button that opens a panel to `host` at `position` with z-order `zOrder`, and above it
// the panel's place (CLazyPanel), through `panel`: `make` builds the panel at the first release
// on the button. A release opens the panel while it is closed, closes it while it is open.
// Returns the button (the scene graph owns it and the place), null (and `panel` null) when its
// image or the place cannot be made.
template <class Panel>
engine::ui::Button* addPanelButton(engine::Node* host, const engine::Vec2& position,
                                   const std::string& normal, const std::string& pressed,
                                   int zOrder, typename CLazyPanel<Panel>::Factory make,
                                   CLazyPanel<Panel>*& panel) {
    CLazyPanel<Panel>* place = CLazyPanel<Panel>::create(std::move(make));
    engine::ui::Button* button =
        place == nullptr ? nullptr
                         : addToggleButton(host, position, normal, pressed, zOrder, place,
                                           [place] { place->toggle(); });
    panel = button != nullptr ? place : nullptr;
    return button;
}
// What addPanelButton does for every kind of panel: the button at `zOrder` calling `toggle` on
// release, and `place` at `zOrder + 1`. Null when the button's image cannot be loaded.
engine::ui::Button* addToggleButton(engine::Node* host, const engine::Vec2& position,
                                    const std::string& normal, const std::string& pressed,
                                    int zOrder, engine::Node* place,
                                    const std::function<void()>& toggle);
// The input of a shown panel: it takes every touch its own buttons do not (the scene below gets
// none), and one that begins and ends off `board` calls `close`; Esc calls `close`; the keys in
// `swallowed` do nothing and reach nothing below. A hidden panel is offered nothing.
void listenAsPanel(engine::Node* panel, engine::Node* board, const std::function<void()>& close,
                   std::initializer_list<engine::EventKeyboard::KeyCode> swallowed = {});
// As listenAsPanel, and while the panel is shown every key and every mouse button stops at it
// (Esc still closes it): the scene below neither plays, passes nor readies behind it.
void listenAsModalPanel(engine::Node* panel, engine::Node* board,
                        const std::function<void()>& close);
