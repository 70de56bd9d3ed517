#include "scenes/desk/CHandView.h"

#include <algorithm>

#include "engine/Engine.h"
#include "scenes/common/CardSprite.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

constexpr int kHandZ = 1;
// A touch more than this far above a card's top is above the whole hand.
constexpr float kReachAboveCard = 30;

float rowX(std::size_t count, std::size_t index, float cardWidth) {
    const float W = Director::getInstance()->getVisibleSize().width;
    return W / 2 - 9.0f * (static_cast<float>(count) - 1) + 18.0f * static_cast<float>(index) +
           cardWidth / 4;
}

}  // namespace

void CHandView::change(const std::function<void(HandModel&)>& edit) {
    edit(m_model);
    show();
}

void CHandView::show() {
    std::map<unsigned, CardSprite*> kept;
    std::vector<unsigned> added;
    for (const HandModel::Card& card : m_model.cards()) {
        const auto found = m_byId.find(card.id);
        if (found != m_byId.end()) {
            kept.insert(*found);
            m_byId.erase(found);
        } else {
            added.push_back(card.id);
        }
    }
    for (const auto& gone : m_byId) {
        m_layer.removeChild(gone.second, true);
    }
    m_byId = std::move(kept);
    // A card's id grows with its arrival: the sprites join the layer in that order.
    std::sort(added.begin(), added.end());
    std::vector<unsigned> failed;
    for (unsigned id : added) {
        const auto card = std::find_if(m_model.cards().begin(), m_model.cards().end(),
                                       [id](const HandModel::Card& c) { return c.id == id; });
        if (CardSprite* sprite = CardSprite::createWithCard(card->code)) {
            m_layer.addChild(sprite, kHandZ);
            m_byId[id] = sprite;
        } else {
            failed.push_back(id);
        }
    }
    if (!failed.empty()) {
        // A card that cannot be drawn is not held: the model loses it as the row does.
        m_model.forget(failed);
        show();
        return;
    }
    m_sprites.clear();
    for (const HandModel::Card& card : m_model.cards()) {
        m_sprites.push_back(m_byId.at(card.id));
    }
    for (std::size_t i = 0; i < m_sprites.size(); ++i) {
        CardSprite* sprite = m_sprites[i];
        const bool raised = m_model.cards()[i].raised;
        sprite->setPosition(Vec2(rowX(m_sprites.size(), i, sprite->getContentSize().width),
                                 raised ? kRaisedY : kRestY));
        sprite->m_selected = raised;
    }
}

CardSprite* CHandView::lastTouched() const {
    const std::optional<unsigned> id = m_model.lastTouched();
    if (!id) {
        return nullptr;
    }
    const auto found = m_byId.find(*id);
    return found != m_byId.end() ? found->second : nullptr;
}

std::ptrdiff_t CHandView::cardAt(const Vec2& point) const {
    for (std::size_t k = m_sprites.size(); k-- > 0;) {
        const Rect box = m_sprites[k]->getBoundingBox();
        if (point.y > box.getMaxY() + kReachAboveCard) {
            return -1;
        }
        if (box.containsPoint(point)) {
            return static_cast<std::ptrdiff_t>(k);
        }
    }
    return -1;
}

void CHandView::touchBegan(const Vec2& point) {
    const std::ptrdiff_t index = cardAt(point);
    if (index >= 0) {
        change([index](HandModel& hand) { hand.press(static_cast<std::size_t>(index)); });
    }
}

void CHandView::touchMoved(const Vec2& point) {
    const std::ptrdiff_t index = cardAt(point);
    if (index >= 0) {
        change([index](HandModel& hand) { hand.slideTo(static_cast<std::size_t>(index)); });
    }
}

void CHandView::showBacks(std::size_t count) {
    while (m_backs.size() > count) {
        m_layer.removeChild(m_backs.back(), true);
        m_backs.pop_back();
    }
    while (m_backs.size() < count) {
        Sprite* back = makeFrameSprite("back");
        if (back == nullptr) {
            break;
        }
        m_layer.addChild(back, kHandZ);
        m_backs.push_back(back);
    }
    for (std::size_t i = 0; i < m_backs.size(); ++i) {
        Sprite* back = m_backs[i];
        back->setPosition(Vec2(rowX(m_backs.size(), i, back->getContentSize().width), kRestY));
    }
}
