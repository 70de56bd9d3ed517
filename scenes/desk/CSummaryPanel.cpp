#include "scenes/desk/CSummaryPanel.h"

#include <algorithm>

#include "models/hall/RecordBook.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

// Board coordinates, from its bottom-left corner (settings_panel.png, 420 x 330).
constexpr float kTitleY = 298;
constexpr float kHeadY = 258;
constexpr float kFirstRowY = 226;
constexpr float kRowStep = 30;
constexpr float kTeamsY = 94;
constexpr float kNoteY = 68;
constexpr float kCloseY = 32;
constexpr std::array<float, CSummaryPanel::kColumns> kColumnX = {112, 232, 302, 366};
constexpr int kNameCells = 14;  // a name wider than this is cut with "…"
constexpr float kTitleSize = 24;
constexpr float kTextSize = 18;
constexpr float kNoteSize = 14;
const Color3B kText(236, 236, 236);
const Color3B kOwnRow(255, 214, 120);
const Color3B kNoteColor(200, 200, 190);
const char* const kHeadings[CSummaryPanel::kColumns] = {"玩家", "名次", "得分", "结果"};

std::string teamName(int team, int mySite) {
    return team == mySite % 2 ? "我方" : "对方";
}

}  // namespace

bool CSummaryPanel::init() {
    if (!Node::init()) {
        return false;
    }
    m_board = Sprite::create("settings_panel.png");
    m_btnClose = makeImageButton("close.png", "close_press.png");
    Label* title = makeTextLabel("本局结算", kTitleSize);
    m_lblTeams = makeTextLabel("", kTextSize);
    m_lblNote = makeTextLabel("", kNoteSize);
    if (m_board == nullptr || m_board->getContentSize().width <= 0 || m_btnClose == nullptr ||
        title == nullptr || m_lblTeams == nullptr || m_lblNote == nullptr) {
        return false;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const Size board = m_board->getContentSize();
    m_board->setPosition(Vec2(visible.width / 2, visible.height / 2 + 40));
    addChild(m_board);

    title->setColor(kTableGold);
    title->setPosition(Vec2(board.width / 2, kTitleY));
    m_board->addChild(title);
    for (int column = 0; column < kColumns; ++column) {
        Label* head = makeTextLabel(kHeadings[column], kTextSize);
        if (head == nullptr) {
            return false;
        }
        head->setColor(kTableGold);
        head->setPosition(Vec2(kColumnX[static_cast<std::size_t>(column)], kHeadY));
        m_board->addChild(head);
    }
    for (std::size_t row = 0; row < m_cells.size(); ++row) {
        for (std::size_t column = 0; column < kColumns; ++column) {
            Label* cell = makeTextLabel("", kTextSize);
            if (cell == nullptr) {
                return false;
            }
            cell->setPosition(
                Vec2(kColumnX[column], kFirstRowY - kRowStep * static_cast<float>(row)));
            m_board->addChild(cell);
            m_cells[row][column] = cell;
        }
    }
    m_lblTeams->setColor(kText);
    m_lblTeams->setPosition(Vec2(board.width / 2, kTeamsY));
    m_board->addChild(m_lblTeams);
    m_lblNote->setColor(kNoteColor);
    m_lblNote->setPosition(Vec2(board.width / 2, kNoteY));
    m_board->addChild(m_lblNote);
    m_btnClose->setPosition(Vec2(board.width / 2, kCloseY));
    m_btnClose->addTouchEventListener([this](Ref*, ui::Widget::TouchEventType type) {
        if (type == ui::Widget::TouchEventType::ENDED) {
            close();
        }
    });
    m_board->addChild(m_btnClose);

    // Touches on the board stop there; others reach the desk, so its ready button works at
    // once (and closes the panel). Esc closes it.
    auto* touches = EventListenerTouchOneByOne::create();
    touches->setSwallowTouches(true);
    touches->onTouchBegan = [this](Touch* touch, Event*) {
        return m_board->getBoundingBox().containsPoint(touch->getLocation());
    };
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode key, Event* event) {
        if (key == EventKeyboard::KeyCode::KEY_ESCAPE) {
            close();
            event->stopPropagation();
        }
    };
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    dispatcher->addEventListenerWithSceneGraphPriority(touches, this);
    dispatcher->addEventListenerWithSceneGraphPriority(keys, this);
    setVisible(false);
    return true;
}

void CSummaryPanel::show(const GameSummary& summary, int mySite) {
    const bool agree = summary.seatsAgree();
    std::array<int, kSeatCount> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(), [&summary](int a, int b) {
        return summary.seats()[static_cast<std::size_t>(a)].firstPlace <
               summary.seats()[static_cast<std::size_t>(b)].firstPlace;
    });
    for (std::size_t row = 0; row < order.size(); ++row) {
        const int site = order[row];
        const SummarySeat& seat = summary.seats()[static_cast<std::size_t>(site)];
        const std::array<std::string, kColumns> texts = {
            RecordBook::fitText(seat.name, kNameCells), GameSummary::placeText(seat),
            agree ? std::to_string(seat.points) : "-", RecordBook::resultText(seat.result)};
        for (std::size_t column = 0; column < kColumns; ++column) {
            m_cells[row][column]->setString(texts[column]);
            m_cells[row][column]->setColor(site == mySite ? kOwnRow : kText);
        }
    }

    std::string teams;
    for (int team : {mySite % 2, 1 - mySite % 2}) {
        if (!teams.empty()) {
            teams += "    ";
        }
        teams += teamName(team, mySite) + " " +
                 std::to_string(summary.teamPoints()[static_cast<std::size_t>(team)]) + " 分";
        if (team == summary.teamOut() && summary.extraPoints() > 0) {
            teams += "（含余分 " + std::to_string(summary.extraPoints()) + "）";
        }
    }
    m_lblTeams->setString(teams);
    if (!agree) {
        m_lblNote->setString("各人得分不全（中途回到座位），只计双方总分");
    } else if (summary.extraPoints() > 0) {
        m_lblNote->setString("余分：最后一轮和未出的牌里的分，归先出完的一方");
    } else {
        m_lblNote->setString("");
    }
    setVisible(true);
}

void CSummaryPanel::close() {
    setVisible(false);
}

const std::string& CSummaryPanel::cellText(std::size_t row, std::size_t column) const {
    return m_cells.at(row).at(column)->getString();
}

const std::string& CSummaryPanel::teamText() const {
    return m_lblTeams->getString();
}

const std::string& CSummaryPanel::noteText() const {
    return m_lblNote->getString();
}
