#include "scenes/desk/CLastTrick.h"

#include <cstdio>

#include "net/Message.h"
#include "scenes/common/CardSprite.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CPlayArea.h"
#include "scenes/desk/CSummaryPanel.h"

using namespace engine;

namespace {

constexpr float kButtonRightGap = 60;  // the button's centre from the right edge
constexpr float kButtonY = 148;        // under the board, right of the hand
constexpr float kBoardBottom = 172;    // just under the local seat's row of played cards
constexpr int kViewZ = 2;              // over the played cards and the hand, under the seats' names
constexpr float kLabelSize = 22;
constexpr float kLabelTopGap = 22;  // the label's centre under the board's top edge
const Color3B kDimmed(170, 170, 170);
constexpr std::uint8_t kDisabledOpacity = 110;

// A node and everything drawn with it, tinted.
void tint(Node* node, const Color3B& color) {
    node->setColor(color);
    for (Node* child : node->getChildren()) {
        tint(child, color);
    }
}

}  // namespace

std::unique_ptr<CLastTrick> CLastTrick::create(Node& layer, SeatOf seatOf) {
    std::unique_ptr<CLastTrick> part(new CLastTrick(layer, std::move(seatOf)));
    return part->build() ? std::move(part) : nullptr;
}

bool CLastTrick::build() {
    const float W = Director::getInstance()->getVisibleSize().width;
    m_btnLastTrick = makeImageButton("last_trick.png", "last_trick_press.png");
    m_view = Node::create();
    m_summaryPanel = CSummaryPanel::create();
    if (m_btnLastTrick == nullptr || m_view == nullptr || m_summaryPanel == nullptr) {
        return false;
    }
    m_btnLastTrick->setPosition(Vec2(W - kButtonRightGap, kButtonY));
    m_btnLastTrick->addTouchEventListener(CC_CALLBACK_2(CLastTrick::onButton, this));
    m_layer.addChild(m_btnLastTrick, 2);
    m_view->setVisible(false);
    m_layer.addChild(m_view, kViewZ);
    m_layer.addChild(m_summaryPanel, CSummaryPanel::kZOrder);

    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode key, Event* event) {
        if (key == EventKeyboard::KeyCode::KEY_L && m_trickHistory.hasLast()) {
            show(true);
            event->stopPropagation();
        }
    };
    keys->onKeyReleased = [this](EventKeyboard::KeyCode key, Event*) {
        if (key == EventKeyboard::KeyCode::KEY_L) {
            show(false);
        }
    };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys,
                                                                                          &m_layer);
    forget();
    return true;
}

void CLastTrick::onButton(Ref*, ui::Widget::TouchEventType type) {
    switch (type) {
        case ui::Widget::TouchEventType::BEGAN:
            show(true);
            break;
        case ui::Widget::TouchEventType::ENDED:
        case ui::Widget::TouchEventType::CANCELED:
            show(false);
            break;
        default:
            break;
    }
}

void CLastTrick::follow(const stMsg& msg, int localSite) {
    m_trickHistory.follow(msg);
    m_gameSummary.follow(msg);
    const bool known = m_trickHistory.hasLast();
    m_btnLastTrick->setEnabled(known);
    m_btnLastTrick->setOpacity(known ? 255 : kDisabledOpacity);
    // A held view follows the history: the trick that just ended, or nothing after a new deal.
    if (m_view->isVisible()) {
        show(known);
    }
    if (msg.opt == "start") {
        m_summaryPanel->close();
    } else if (msg.opt == "over" && m_gameSummary.finished() && isSeatNumber(localSite)) {
        if (!m_gameSummary.seatsAgree()) {
            std::fprintf(stderr,
                         "desk: the seats' points do not add up to the team points %d and %d; "
                         "the summary shows the team points only\n",
                         m_gameSummary.teamPoints()[0], m_gameSummary.teamPoints()[1]);
        }
        m_summaryPanel->show(m_gameSummary, localSite);
    }
}

void CLastTrick::forget() {
    m_trickHistory.forget();
    m_btnLastTrick->setEnabled(false);
    m_btnLastTrick->setOpacity(kDisabledOpacity);
    show(false);
    m_summaryPanel->close();
}

void CLastTrick::refresh() {
    if (m_view->isVisible()) {
        show(true);
    }
}

void CLastTrick::show(bool shown) {
    m_view->removeAllChildren();
    if (!shown || !m_trickHistory.hasLast()) {
        m_view->setVisible(false);
        return;
    }
    Sprite* board = Sprite::create("last_trick_board.png");
    Label* label = makeTextLabel("上一轮", kLabelSize);
    if (board == nullptr || label == nullptr) {
        m_view->setVisible(false);
        return;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const Size size = board->getContentSize();
    // The board covers the four rows of played cards: from under the local row to over the top.
    board->setPosition(Vec2(visible.width / 2, kBoardBottom + size.height / 2));
    m_view->addChild(board);
    label->setColor(kTableGold);
    label->setPosition(Vec2(visible.width / 2, kBoardBottom + size.height - kLabelTopGap));
    m_view->addChild(label);

    const TrickHistory::Table table = m_trickHistory.lastTable();
    for (int site = 0; site < kSeatCount; ++site) {
        const auto& action = table[static_cast<std::size_t>(site)];
        const st_player_info* seat = m_seatOf(site);
        if (!action || seat == nullptr) {
            continue;
        }
        if (action->empty()) {
            Label* pass = makeTextLabel("pass", 15);
            if (pass != nullptr) {
                pass->setColor(Color3B::RED);
                pass->setPosition(seat->pass_label->getPosition());
                m_view->addChild(pass);
            }
            continue;
        }
        for (std::size_t k = 0; k < action->size(); ++k) {
            CardSprite* card = CardSprite::createWithCard((*action)[k]);
            if (card == nullptr) {
                continue;
            }
            card->setPosition(
                CPlayArea::playedCardPosition(*seat, k, card->getContentSize().width));
            tint(card, kDimmed);
            m_view->addChild(card);
        }
    }
    m_view->setVisible(true);
}

void CLastTrick::showResult(const stMsg& over, int localSite, bool watching) {
    if (watching) {
        // Seats 0 and 2 are one team, 1 and 3 the other; "over" gives each seat its team's result.
        for (std::size_t team = 0; team < 2; ++team) {
            const st_seat_info& first = over.info[team];
            if (first.result > 0) {
                MessageBox(first.name + "、" + over.info[team + 2].name + " 赢" +
                               std::to_string(first.result) + "局！",
                           "游戏结束");
                return;
            }
        }
        MessageBox("平局！", "游戏结束");
        return;
    }
    if (!isSeatNumber(localSite)) {
        return;
    }
    const int result = over.info[static_cast<std::size_t>(localSite)].result;
    if (result > 0) {
        playEffectOnce("sound/win.mp3");
        MessageBox("恭喜，赢" + std::to_string(result) + "局！", "游戏结束，你赢了！");
    } else if (result < 0) {
        playEffectOnce("sound/lose.mp3");
        MessageBox("很遗憾，输" + std::to_string(result) + "局！", "游戏结束，你输了！");
    } else {
        MessageBox("平局，再接再厉！", "游戏结束，平局！");
    }
}
