#include "scenes/desk/CCardTrackerPanel.h"

#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

// Column names in CardTracker's order; the jokers are the small and the big king.
const char* const kColumnNames[CardTracker::kColumns] = {
    "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A", "2", "小王", "大王"};

// Column centres from the panel's left edge: the ranks 24 apart, the jokers' two-character
// names 32 apart after them.
constexpr float kRankWidth = 24;
constexpr float kJokerWidth = 32;
constexpr float kFirstColumnX = 20;
constexpr int kRankColumns = 13;

float columnX(int column) {
    if (column < kRankColumns) {
        return kFirstColumnX + kRankWidth * static_cast<float>(column);
    }
    const float lastRank = kFirstColumnX + kRankWidth * (kRankColumns - 1);
    return lastRank + kRankWidth / 2 + kJokerWidth * (static_cast<float>(column - kRankColumns) + 0.5f);
}
constexpr float kNameY = 35;
constexpr float kCountY = 14;
const Color3B kCountColor(255, 255, 255);
const Color3B kNoneLeftColor(110, 120, 112);

}  // namespace

bool CCardTrackerPanel::init() {
    if (!Node::init()) {
        return false;
    }
    Sprite* background = Sprite::create("tracker_panel.png");
    if (background == nullptr) {
        return false;
    }
    const Size size = background->getContentSize();
    setContentSize(size);
    setAnchorPoint(Vec2(0.5f, 0.5f));
    background->setPosition(Vec2(size.width / 2, size.height / 2));
    addChild(background, 0);

    for (int column = 0; column < CardTracker::kColumns; ++column) {
        const float x = columnX(column);
        Label* name = makeTextLabel(kColumnNames[column], 12);
        Label* count = makeTextLabel(std::to_string(CardTracker::copiesIn(column)), 15);
        if (name == nullptr || count == nullptr) {
            return false;
        }
        name->setColor(kTableGold);
        name->setPosition(Vec2(x, kNameY));
        addChild(name, 1);
        count->setColor(kCountColor);
        count->setPosition(Vec2(x, kCountY));
        addChild(count, 1);
        m_lblCounts[static_cast<std::size_t>(column)] = count;
    }
    return true;
}

void CCardTrackerPanel::show(const CardTracker& tracker) {
    for (int column = 0; column < CardTracker::kColumns; ++column) {
        Label* count = m_lblCounts[static_cast<std::size_t>(column)];
        const int unseen = tracker.unseen(column);
        count->setString(std::to_string(unseen));
        count->setColor(unseen > 0 ? kCountColor : kNoneLeftColor);
    }
}

const std::string& CCardTrackerPanel::countText(int column) const {
    return m_lblCounts[static_cast<std::size_t>(column)]->getString();
}
