#include "scenes/desk/CPlayArea.h"

#include "engine/Engine.h"
#include "scenes/common/CardSprite.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

std::unique_ptr<CPlayArea> CPlayArea::create(Node& layer) {
    std::unique_ptr<CPlayArea> area(new CPlayArea(layer));
    const Size visible = Director::getInstance()->getVisibleSize();
    const float W = visible.width;
    const float H = visible.height;
    SpriteFrame* frame = SpriteFrameCache::getInstance()->getSpriteFrameByName("score");
    const Size score = frame != nullptr ? frame->getOriginalSize() : Size::ZERO;

    Sprite* scorePanel = makeFrameSprite("score");
    area->m_lblDesk = makeTextLabel("desk:0", 20);
    area->m_lblOwnScore = makeTextLabel("0", 25);
    area->m_lblOtherScore = makeTextLabel("0", 25);
    area->m_lblTableScore = makeTextLabel("0", 40);
    if (scorePanel == nullptr || area->m_lblDesk == nullptr || area->m_lblOwnScore == nullptr ||
        area->m_lblOtherScore == nullptr || area->m_lblTableScore == nullptr) {
        return nullptr;
    }
    scorePanel->setPosition(Vec2(score.width / 2, H - score.height / 2));
    layer.addChild(scorePanel, 0);

    area->m_lblDesk->setPosition(Vec2(W / 2, H / 2));
    layer.addChild(area->m_lblDesk, 0);
    area->m_lblOwnScore->setColor(Color3B::BLACK);
    area->m_lblOwnScore->setPosition(Vec2(80, H - score.height / 2));
    layer.addChild(area->m_lblOwnScore, 0);
    area->m_lblOtherScore->setColor(Color3B::BLACK);
    area->m_lblOtherScore->setPosition(Vec2(170, H - score.height / 2));
    layer.addChild(area->m_lblOtherScore, 0);
    area->m_lblTableScore->setPosition(Vec2(W / 2, H / 2 + 30));
    layer.addChild(area->m_lblTableScore, 0);
    return area;
}

void CPlayArea::showDesk(int desk) {
    m_lblDesk->setString("Desk:" + std::to_string(desk));
}

void CPlayArea::resetScores() {
    m_lblOwnScore->setString("0");
    m_lblOtherScore->setString("0");
    m_lblTableScore->setString("0");
}

void CPlayArea::showTeamScores(const std::string& p0, const std::string& p1, int localSite) {
    const bool even = localSite % 2 == 0;
    m_lblOwnScore->setString(even ? p0 : p1);
    m_lblOtherScore->setString(even ? p1 : p0);
}

void CPlayArea::showTableScore(int points) {
    m_lblTableScore->setString(std::to_string(points));
}

void CPlayArea::lay(st_player_info& seat, const std::vector<int>& codes) {
    for (std::size_t k = 0; k < codes.size(); ++k) {
        CardSprite* card = CardSprite::createWithCard(codes[k]);
        if (card == nullptr) {
            continue;
        }
        seat.played.push_back(card);
        card->setPosition(playedCardPosition(seat, k, card->getContentSize().width));
        m_layer.addChild(card);
    }
}

void CPlayArea::clear(st_player_info& seat) {
    for (CardSprite* card : seat.played) {
        m_layer.removeChild(card, true);
    }
    seat.played.clear();
}

Vec2 CPlayArea::playedCardPosition(const st_player_info& seat, std::size_t index, float cardWidth) {
    return Vec2(static_cast<float>(seat.play_x) + cardWidth + 18.0f * static_cast<float>(index),
                static_cast<float>(seat.play_y));
}
