#include "scenes/hall/CRecordPanel.h"

#include <ctime>

#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

// The layout in design points: the board (900 x 660) is centred on the design area; the tabs
// and the close button stand along its top, the pages' text below them.
constexpr float kTabsY = 670;
constexpr float kRecordTabX = 200;
constexpr float kLeaderboardTabX = 352;
constexpr float kCloseX = 882;
constexpr float kLeftX = 110;
constexpr float kFirstLineY = 622;
constexpr float kSecondLineY = 590;
constexpr float kLineSize = 22;
constexpr float kHeadSize = 18;
constexpr float kStatusSize = 26;

// The latest games: a heading row, then one row a game.
constexpr std::array<float, RecordBook::kGameColumns> kGameX = {110, 280, 350, 420, 610};
constexpr float kGameHeadY = 550;
constexpr float kFirstGameY = 524;
constexpr float kGameStep = 21;
constexpr float kGameSize = 17;

// The leaderboard: two blocks side by side, each a heading row and kLeaderRowsPerColumn rows.
constexpr std::array<float, 2> kBlockX = {110, 540};
constexpr std::array<float, RecordBook::kLeaderColumns> kLeaderColumnX = {0, 60, 250, 340};
constexpr float kLeaderHeadY = 585;
constexpr float kFirstLeaderY = 558;
constexpr float kLeaderStep = 19;
constexpr float kLeaderSize = 16;


}  // namespace

RecordBook& CRecordPanel::book() {
    static RecordBook answers;
    return answers;
}

bool CRecordPanel::addTo(Node* host, const Vec2& buttonPosition,
                         CLazyPanel<CRecordPanel>*& panel) {
    return addPanelButton<CRecordPanel>(host, buttonPosition, "record.png", "record_press.png",
                                        kZOrder, &CRecordPanel::create, panel) != nullptr;
}

bool CRecordPanel::init() {
    if (!Node::init()) {
        return false;
    }
    m_board = Sprite::create("record_panel.png");
    m_btnRecordTab = makeImageButton("tab_record.png", "tab_record_on.png");
    m_btnLeaderboardTab = makeImageButton("tab_leaderboard.png", "tab_leaderboard_on.png");
    m_btnClose = makeImageButton("close.png", "close_press.png");
    m_lblStatus = makeTextLabel(kWaitingText, kStatusSize);
    if (m_board == nullptr || m_board->getContentSize().width <= 0 || m_btnRecordTab == nullptr ||
        m_btnLeaderboardTab == nullptr || m_btnClose == nullptr || m_lblStatus == nullptr) {
        return false;
    }
    m_board->setPosition(Vec2(kDesignCentreX, kDesignCentreY));
    addChild(m_board);
    const std::pair<ui::Button*, Tab> tabs[] = {{m_btnRecordTab, Tab::Record},
                                                {m_btnLeaderboardTab, Tab::Leaderboard}};
    for (auto [button, tab] : tabs) {
        button->setPosition(Vec2(tab == Tab::Record ? kRecordTabX : kLeaderboardTabX, kTabsY));
        button->addTouchEventListener([this, tab = tab](Ref*, ui::Widget::TouchEventType type) {
            if (type == ui::Widget::TouchEventType::ENDED) {
                showTab(tab);
            }
        });
        addChild(button);
    }
    m_btnClose->setPosition(Vec2(kCloseX, kTabsY));
    m_btnClose->addTouchEventListener([this](Ref*, ui::Widget::TouchEventType type) {
        if (type == ui::Widget::TouchEventType::ENDED) {
            close();
        }
    });
    addChild(m_btnClose);
    m_lblStatus->setPosition(Vec2(kDesignCentreX, kDesignCentreY));
    addChild(m_lblStatus);
    if (!buildRecordPage() || !buildLeaderboardPage()) {
        return false;
    }

    // While open the panel takes every touch its buttons do not (one off the board closes it),
    // Esc, which closes it, and Enter, so that the hall's quick join stays untouched below.
    listenAsPanel(this, m_board, [this] { close(); },
                  {EventKeyboard::KeyCode::KEY_ENTER, EventKeyboard::KeyCode::KEY_KP_ENTER});
    schedule(CC_SCHEDULE_SELECTOR(CRecordPanel::tick), 0.1f);
    setVisible(false);
    return true;
}

template <std::size_t N>
bool CRecordPanel::addRow(Node* page, const std::array<float, N>& xs, float y, float size,
                          std::array<Label*, N>& row) {
    for (std::size_t column = 0; column < N; ++column) {
        row[column] = makeLeftLabel("", size, Vec2(xs[column], y));
        if (row[column] == nullptr) {
            return false;
        }
        page->addChild(row[column]);
    }
    return true;
}

bool CRecordPanel::buildRecordPage() {
    m_recordPage = Node::create();
    m_lblTally = makeLeftLabel("", kLineSize, Vec2(kLeftX, kFirstLineY));
    m_lblScore = makeLeftLabel("", kLineSize, Vec2(kLeftX, kSecondLineY));
    std::array<Label*, RecordBook::kGameColumns> head{};
    if (m_recordPage == nullptr || m_lblTally == nullptr || m_lblScore == nullptr ||
        !addRow(m_recordPage, kGameX, kGameHeadY, kHeadSize, head)) {
        return false;
    }
    const char* headings[] = {"时间", "结果", "得分", "搭档", "对手"};
    for (std::size_t column = 0; column < head.size(); ++column) {
        head[column]->setString(headings[column]);
        head[column]->setColor(kTableGold);
    }
    m_recordPage->addChild(m_lblTally);
    m_recordPage->addChild(m_lblScore);
    for (std::size_t i = 0; i < m_gameRows.size(); ++i) {
        if (!addRow(m_recordPage, kGameX, kFirstGameY - kGameStep * static_cast<float>(i),
                    kGameSize, m_gameRows[i])) {
            return false;
        }
    }
    addChild(m_recordPage);
    return true;
}

bool CRecordPanel::buildLeaderboardPage() {
    m_leaderboardPage = Node::create();
    m_lblPlace = makeLeftLabel("", kLineSize, Vec2(kLeftX, kFirstLineY));
    if (m_leaderboardPage == nullptr || m_lblPlace == nullptr) {
        return false;
    }
    m_leaderboardPage->addChild(m_lblPlace);
    const char* headings[] = {"名次", "玩家", "等级分", "局数"};
    for (std::size_t block = 0; block < kBlockX.size(); ++block) {
        std::array<float, RecordBook::kLeaderColumns> xs{};
        for (std::size_t column = 0; column < xs.size(); ++column) {
            xs[column] = kBlockX[block] + kLeaderColumnX[column];
        }
        std::array<Label*, RecordBook::kLeaderColumns> head{};
        if (!addRow(m_leaderboardPage, xs, kLeaderHeadY, kHeadSize, head)) {
            return false;
        }
        for (std::size_t column = 0; column < head.size(); ++column) {
            head[column]->setString(headings[column]);
            head[column]->setColor(kTableGold);
        }
        m_rightHeadings = head;  // the last block's
        for (int i = 0; i < kLeaderRowsPerColumn; ++i) {
            const std::size_t row = block * kLeaderRowsPerColumn + static_cast<std::size_t>(i);
            if (!addRow(m_leaderboardPage, xs, kFirstLeaderY - kLeaderStep * static_cast<float>(i),
                        kLeaderSize, m_leaderRows[row])) {
                return false;
            }
        }
    }
    addChild(m_leaderboardPage);
    return true;
}

void CRecordPanel::open() {
    m_tab = Tab::Record;
    CMessageQueue* link = CMessageQueue::getInstance();
    if (book().open(backend().nowSeconds(), link->serverFeatures().records)) {
        link->sendMsg(recordMessage());
        link->sendMsg(leaderboardMessage());
    }
    refresh();
    setVisible(true);
}

void CRecordPanel::close() {
    setVisible(false);
}

void CRecordPanel::showTab(Tab tab) {
    m_tab = tab;
    refresh();
}

void CRecordPanel::onServerMessage(const std::shared_ptr<stMsg>& msg) {
    if (msg->opt == "record") {
        book().takeRecord(*msg);
    } else if (msg->opt == "leaderboard") {
        book().takeLeaderboard(*msg);
    }
    refresh();
}

void CRecordPanel::tick(float) {
    if (isOpen() && book().expire(backend().nowSeconds())) {
        refresh();
    }
}

void CRecordPanel::refresh() {
    const RecordBook& answers = book();
    const bool onRecord = m_tab == Tab::Record;
    m_btnRecordTab->loadTextures(onRecord ? "tab_record_on.png" : "tab_record.png",
                                 "tab_record_on.png", "tab_record_on.png");
    m_btnLeaderboardTab->loadTextures(onRecord ? "tab_leaderboard.png" : "tab_leaderboard_on.png",
                                      "tab_leaderboard_on.png", "tab_leaderboard_on.png");
    const RecordBook::State state = onRecord ? answers.recordState() : answers.leaderboardState();
    const bool shown = state == RecordBook::State::Shown;
    m_lblStatus->setVisible(!shown);
    m_lblStatus->setString(state == RecordBook::State::Waiting ? kWaitingText : kNoRecordsText);
    m_recordPage->setVisible(onRecord && shown);
    m_leaderboardPage->setVisible(!onRecord && shown);

    if (answers.recordState() == RecordBook::State::Shown) {
        m_lblTally->setString(answers.tallyLine());
        m_lblScore->setString(answers.scoreLine());
        const auto rows = answers.gameRows(RecordBook::localUtcOffset(std::time(nullptr)));
        for (std::size_t i = 0; i < m_gameRows.size(); ++i) {
            for (std::size_t column = 0; column < RecordBook::kGameColumns; ++column) {
                m_gameRows[i][column]->setString(i < rows.size() ? rows[i][column] : "");
            }
        }
    }
    if (answers.leaderboardState() == RecordBook::State::Shown) {
        m_lblPlace->setString(answers.placeLine());
        const auto rows = answers.leaderRows();
        for (Label* heading : m_rightHeadings) {
            heading->setVisible(rows.size() > static_cast<std::size_t>(kLeaderRowsPerColumn));
        }
        for (std::size_t i = 0; i < m_leaderRows.size(); ++i) {
            for (std::size_t column = 0; column < RecordBook::kLeaderColumns; ++column) {
                m_leaderRows[i][column]->setString(i < rows.size() ? rows[i][column] : "");
            }
        }
    }
}
