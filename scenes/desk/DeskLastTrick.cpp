// The last trick and the game's summary, beside the table's own elements. Neither sends
// anything: they show what TrickHistory and GameSummary took from the server's messages.
//
//   element            where (W x H visible)                 shown
//   上一轮 button       (W - 60, 148), right of the hand      always; enabled while a finished
//                                                            trick of this game is known
//   last-trick view    a dark board over the table area,     while 上一轮 or L is held
//                      each seat's last cards of the trick
//                      (or "pass" when it only passed) in
//                      that seat's row, dimmed, "上一轮"
//   summary panel      the middle of the table               after the result's box of "over",
//                                                            until closed, ready or a new deal
//
// Holding is the one behaviour for mouse and key: the view shows from the press (the button's
// BEGAN, L pressed) to the release (ENDED or CANCELED, L released). A trick that ends while it
// is held replaces the one shown; a new deal or the ready press takes it away.

#include <cstdio>

#include "cards/CardSprite.h"
#include "net/Message.h"
#include "scenes/common/SceneWidgets.h"
#include "scenes/desk/CDeskScene.h"
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
const Color3B kLabelColor(233, 189, 85);
constexpr std::uint8_t kDisabledOpacity = 110;

// A node and everything drawn with it, tinted.
void tint(Node* node, const Color3B& color) {
    node->setColor(color);
    for (Node* child : node->getChildren()) {
        tint(child, color);
    }
}

}  // namespace

bool CDeskScene::addLastTrick(float W) {
    m_btnLastTrick = makeImageButton("last_trick.png", "last_trick_press.png");
    m_lastTrickView = Node::create();
    m_summaryPanel = CSummaryPanel::create();
    if (m_btnLastTrick == nullptr || m_lastTrickView == nullptr || m_summaryPanel == nullptr) {
        return false;
    }
    m_btnLastTrick->setPosition(Vec2(W - kButtonRightGap, kButtonY));
    m_btnLastTrick->addTouchEventListener(CC_CALLBACK_2(CDeskScene::onLastTrickButton, this));
    addChild(m_btnLastTrick, 2);
    m_lastTrickView->setVisible(false);
    addChild(m_lastTrickView, kViewZ);
    addChild(m_summaryPanel, CSummaryPanel::kZOrder);

    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode key, Event* event) {
        if (key == EventKeyboard::KeyCode::KEY_L && m_trickHistory.hasLast()) {
            showLastTrick(true);
            event->stopPropagation();
        }
    };
    keys->onKeyReleased = [this](EventKeyboard::KeyCode key, Event*) {
        if (key == EventKeyboard::KeyCode::KEY_L) {
            showLastTrick(false);
        }
    };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys,
                                                                                          this);
    forgetLastGame();
    return true;
}

void CDeskScene::onLastTrickButton(Ref*, ui::Widget::TouchEventType type) {
    switch (type) {
        case ui::Widget::TouchEventType::BEGAN:
            showLastTrick(true);
            break;
        case ui::Widget::TouchEventType::ENDED:
        case ui::Widget::TouchEventType::CANCELED:
            showLastTrick(false);
            break;
        default:
            break;
    }
}

void CDeskScene::followTricks(const stMsg& msg) {
    m_trickHistory.follow(msg);
    m_gameSummary.follow(msg);
    const bool known = m_trickHistory.hasLast();
    m_btnLastTrick->setEnabled(known);
    m_btnLastTrick->setOpacity(known ? 255 : kDisabledOpacity);
    // A held view follows the history: the trick that just ended, or nothing after a new deal.
    if (m_lastTrickView->isVisible()) {
        showLastTrick(known);
    }
    if (msg.opt == "start") {
        m_summaryPanel->close();
    } else if (msg.opt == "over" && m_gameSummary.finished() && isSeatNumber(m_mySite)) {
        if (!m_gameSummary.seatsAgree()) {
            std::fprintf(stderr,
                         "desk: the seats' points do not add up to the team points %d and %d; "
                         "the summary shows the team points only\n",
                         m_gameSummary.teamPoints()[0], m_gameSummary.teamPoints()[1]);
        }
        m_summaryPanel->show(m_gameSummary, m_mySite);
    }
}

void CDeskScene::forgetLastGame() {
    m_trickHistory.forget();
    m_btnLastTrick->setEnabled(false);
    m_btnLastTrick->setOpacity(kDisabledOpacity);
    showLastTrick(false);
    m_summaryPanel->close();
}

void CDeskScene::showLastTrick(bool shown) {
    m_lastTrickView->removeAllChildren();
    if (!shown || !m_trickHistory.hasLast()) {
        m_lastTrickView->setVisible(false);
        return;
    }
    Sprite* board = Sprite::create("last_trick_board.png");
    Label* label = makeTextLabel("上一轮", kLabelSize);
    if (board == nullptr || label == nullptr) {
        m_lastTrickView->setVisible(false);
        return;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const Size size = board->getContentSize();
    // The board covers the four rows of played cards: from under the local row to over the top.
    board->setPosition(Vec2(visible.width / 2, kBoardBottom + size.height / 2));
    m_lastTrickView->addChild(board);
    label->setColor(kLabelColor);
    label->setPosition(Vec2(visible.width / 2, kBoardBottom + size.height - kLabelTopGap));
    m_lastTrickView->addChild(label);

    const TrickHistory::Table table = m_trickHistory.lastTable();
    for (int site = 0; site < kSeatCount; ++site) {
        const auto& action = table[static_cast<std::size_t>(site)];
        st_player_info* seat = seatOf(site);
        if (!action || seat == nullptr) {
            continue;
        }
        if (action->empty()) {
            Label* pass = makeTextLabel("pass", 15);
            if (pass != nullptr) {
                pass->setColor(Color3B::RED);
                pass->setPosition(seat->pass_label->getPosition());
                m_lastTrickView->addChild(pass);
            }
            continue;
        }
        for (std::size_t k = 0; k < action->size(); ++k) {
            CardSprite* card = CardSprite::createWithCard((*action)[k]);
            if (card == nullptr) {
                continue;
            }
            card->setPosition(playedCardPosition(*seat, k, card->getContentSize().width));
            tint(card, kDimmed);
            m_lastTrickView->addChild(card);
        }
    }
    m_lastTrickView->setVisible(true);
}
