#include "scenes/hall/CWatchPanel.h"

#include <cmath>

#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

// The layout in design points: the record panel's board (900 x 660) centred on the design area;
// the title and the close button along its top, the headings under them, the rows, and the
// message and the range along its bottom.
constexpr float kTopY = 670;
constexpr float kCloseX = 882;
constexpr float kHeadY = 610;
constexpr float kLineOffset = 11;  // a team's line above or below the row's centre
constexpr float kBottomY = 110;
constexpr float kRangeX = 930;
constexpr float kHintX = 100;
constexpr float kTitleSize = 30;
constexpr float kHeadSize = 18;
constexpr float kRowSize = 17;
constexpr float kStatusSize = 26;
constexpr float kMessageSize = 20;

// Each column's left edge, and whether it is one of a team's two lines (above, below) or the
// row's middle.
struct ColumnPlace {
    float x = 0;
    float dy = 0;
};
constexpr std::array<ColumnPlace, WatchList::kColumns> kPlaces = {{
    {100, 0},             // kDesk
    {210, kLineOffset},   // kTeam0
    {210, -kLineOffset},  // kTeam1
    {620, kLineOffset},   // kScore0
    {620, -kLineOffset},  // kScore1
    {720, 0},             // kTime
    {830, 0},             // kWatchers
}};
constexpr std::array<const char*, 5> kHeadings = {"桌号", "玩家（两队）", "得分", "时长", "观战"};
constexpr std::array<float, 5> kHeadingX = {100, 210, 620, 720, 830};

float slotY(int slot) {
    return CWatchPanel::kFirstRowY - CWatchPanel::kRowStep * static_cast<float>(slot);
}

}  // namespace

bool CWatchPanel::init() {
    if (!Node::init()) {
        return false;
    }
    m_board = Sprite::create("record_panel.png");
    Label* title = makeTextLabel("观战", kTitleSize);
    m_btnClose = makeImageButton("close.png", "close_press.png");
    m_lblStatus = makeTextLabel(WatchList::kWaitingText, kStatusSize);
    m_lblMessage = makeTextLabel("", kMessageSize);
    m_lblRange = makeTextLabel("", kHeadSize);
    Label* hint = makeLeftLabel("点一桌即可观战", kHeadSize, Vec2(kHintX, kBottomY));
    if (hint == nullptr || m_board == nullptr || m_board->getContentSize().width <= 0 ||
        title == nullptr || m_btnClose == nullptr || m_lblStatus == nullptr ||
        m_lblMessage == nullptr || m_lblRange == nullptr) {
        return false;
    }
    m_board->setPosition(Vec2(kDesignCentreX, kDesignCentreY));
    addChild(m_board);
    title->setColor(kTableGold);
    title->setPosition(Vec2(kDesignCentreX, kTopY));
    addChild(title);
    m_btnClose->setPosition(Vec2(kCloseX, kTopY));
    onRelease(m_btnClose, [this] { close(); });
    addChild(m_btnClose);
    m_lblStatus->setPosition(Vec2(kDesignCentreX, kDesignCentreY));
    addChild(m_lblStatus);
    m_lblMessage->setColor(kWarningRed);
    m_lblMessage->setPosition(Vec2(kDesignCentreX, kBottomY));
    addChild(m_lblMessage);
    hint->setColor(kTableGold);
    addChild(hint);
    m_lblRange->setAnchorPoint(Vec2(1, 0.5f));
    m_lblRange->setPosition(Vec2(kRangeX, kBottomY));
    addChild(m_lblRange);
    if (!addHeadings()) {
        return false;
    }
    for (int slot = 0; slot < WatchList::kVisibleRows; ++slot) {
        if (!addRow(slot)) {
            return false;
        }
    }

    // The list's own touches come first (its listener is on a child, drawn above the panel);
    // every other touch, Esc and Enter are the panel's, as at the record panel.
    listenToList();
    listenAsPanel(this, m_board, [this] { close(); },
                  {EventKeyboard::KeyCode::KEY_ENTER, EventKeyboard::KeyCode::KEY_KP_ENTER});
    schedule(CC_SCHEDULE_SELECTOR(CWatchPanel::tick), 0.1f);
    setVisible(false);
    return true;
}

bool CWatchPanel::addHeadings() {
    m_headings = Node::create();
    if (m_headings == nullptr) {
        return false;
    }
    for (std::size_t column = 0; column < kHeadings.size(); ++column) {
        Label* heading =
            makeLeftLabel(kHeadings[column], kHeadSize, Vec2(kHeadingX[column], kHeadY));
        if (heading == nullptr) {
            return false;
        }
        heading->setColor(kTableGold);
        m_headings->addChild(heading);
    }
    addChild(m_headings);
    return true;
}

bool CWatchPanel::addRow(int slot) {
    RowLabels& row = m_rows[static_cast<std::size_t>(slot)];
    for (std::size_t column = 0; column < row.size(); ++column) {
        const ColumnPlace place = kPlaces[column];
        row[column] = makeLeftLabel("", kRowSize, Vec2(place.x, slotY(slot) + place.dy));
        if (row[column] == nullptr) {
            return false;
        }
        addChild(row[column]);
    }
    return true;
}

void CWatchPanel::listenToList() {
    // On a node of its own above the board, so that it is offered the touch before the panel.
    Node* list = Node::create();
    addChild(list);
    auto* touches = EventListenerTouchOneByOne::create();
    touches->setSwallowTouches(true);
    touches->onTouchBegan = [this](Touch* touch, Event*) {
        if (slotAt(touch->getLocation()) < 0) {
            return false;
        }
        m_dragFirst = m_list.firstRow();
        m_dragging = false;
        return true;
    };
    touches->onTouchMoved = [this](Touch* touch, Event*) {
        const float moved = touch->getLocation().y - touch->getStartLocation().y;
        m_dragging = m_dragging || std::fabs(moved) > kDragSlop;
        if (m_dragging) {
            const int rows = static_cast<int>(moved / kRowStep);
            if (m_list.scrollBy(m_dragFirst + rows - m_list.firstRow())) {
                refresh();
            }
        }
    };
    touches->onTouchEnded = [this](Touch* touch, Event*) {
        const int slot = slotAt(touch->getLocation());
        if (!m_dragging && slot >= 0 && slot == slotAt(touch->getStartLocation()) &&
            m_list.ask(slot)) {
            CMessageQueue::getInstance()->sendMsg(watchDeskMessage(m_list.deskAt(slot)));
            refresh();
        }
    };
    auto* mouse = EventListenerMouse::create();
    mouse->onMouseScroll = [this](EventMouse* event) {
        if (!m_board->getBoundingBox().containsPoint(event->getLocation())) {
            return;
        }
        event->stopPropagation();
        if (m_list.scrollBy(static_cast<int>(std::lround(event->getScrollY())))) {
            refresh();
        }
    };
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    dispatcher->addEventListenerWithSceneGraphPriority(touches, list);
    dispatcher->addEventListenerWithSceneGraphPriority(mouse, list);
}

int CWatchPanel::slotAt(const Vec2& point) const {
    const float top = kFirstRowY + kRowStep / 2;
    if (point.x < kListLeft || point.x > kListRight || point.y > top) {
        return -1;
    }
    const int slot = static_cast<int>((top - point.y) / kRowStep);
    return slot < WatchList::kVisibleRows ? slot : -1;
}

void CWatchPanel::open() {
    m_list.clear();
    ask();
    refresh();
    setVisible(true);
}

void CWatchPanel::close() {
    setVisible(false);
}

void CWatchPanel::onServerMessage(const stMsg& msg) {
    if (msg.opt == "desks") {
        m_list.take(msg);
    } else if (msg.opt == "watch" && msg.status == "refused") {
        m_list.refuse(msg);
    }
    refresh();
}

void CWatchPanel::tick(float dt) {
    if (!isOpen()) {
        return;
    }
    m_sinceAsked += dt;
    if (m_sinceAsked >= kRefreshSeconds) {
        ask();
    }
}

void CWatchPanel::ask() {
    m_sinceAsked = 0;
    CMessageQueue::getInstance()->sendMsg(desksMessage());
}

void CWatchPanel::refresh() {
    const std::string status = m_list.statusText();
    m_lblStatus->setString(status);
    m_lblStatus->setVisible(!status.empty());
    m_headings->setVisible(status.empty());
    m_lblMessage->setString(m_list.message());
    m_lblRange->setString(m_list.rangeText());
    const std::vector<WatchList::Row> rows = m_list.shownRows();
    for (std::size_t slot = 0; slot < m_rows.size(); ++slot) {
        for (std::size_t column = 0; column < WatchList::kColumns; ++column) {
            m_rows[slot][column]->setString(slot < rows.size() ? rows[slot][column] : "");
        }
    }
}
