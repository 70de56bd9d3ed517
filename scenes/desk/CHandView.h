#pragma once
// The hand's row at the bottom of the desk: one card sprite for each card of the HandModel it
// owns, in the model's order, and the touches that raise and lower them. The sprites only show
// the model; every decision reads the model. A spectator's row shows card backs instead.
//
// With n cards, card i rests at x = W/2 - 9(n-1) + 18i + w/4, y = 45 (W the visible width, w the
// card's width); a raised card has the same x and y = 70, with m_selected true. The sprites are
// children of the desk layer (z-order 1), the layer the view was made for. Main thread only.

#include <cstddef>
#include <functional>
#include <map>
#include <vector>

#include "models/desk/HandModel.h"

namespace engine {
class Node;
class Sprite;
struct Vec2;
}  // namespace engine
class CardSprite;

class CHandView {
public:
    static constexpr float kRestY = 45;    // y of a resting card
    static constexpr float kRaisedY = 70;  // y of a card raised for playing

    explicit CHandView(engine::Node& layer) : m_layer(layer) {}
    CHandView(const CHandView&) = delete;
    CHandView& operator=(const CHandView&) = delete;

    const HandModel& model() const { return m_model; }
    // Changes the model and shows it.
    void change(const std::function<void(HandModel&)>& edit);

    // The card under the finger turns over (the right-most one: the right card is drawn on top);
    // a drag turns each card once as the finger enters it.
    void touchBegan(const engine::Vec2& point);
    void touchMoved(const engine::Vec2& point);

    // The sprites in row order.
    const std::vector<CardSprite*>& sprites() const { return m_sprites; }
    // The sprite of the card a touch turned last; null when none or it left the hand.
    CardSprite* lastTouched() const;

    // A spectator's row: `count` card backs where the hand would lie.
    void showBacks(std::size_t count);
    const std::vector<engine::Sprite*>& backs() const { return m_backs; }

private:
    // Makes the sprites follow the model: gone cards leave the layer, new ones join it in the
    // order they came, and every card stands at its place in the row.
    void show();
    // The index of the right-most card whose box holds `point`; none when the point lies far
    // above the hand.
    std::ptrdiff_t cardAt(const engine::Vec2& point) const;

    engine::Node& m_layer;
    HandModel m_model;
    std::map<unsigned, CardSprite*> m_byId;  // the scene graph owns the sprites
    std::vector<CardSprite*> m_sprites;
    std::vector<engine::Sprite*> m_backs;
};
