#pragma once
// The hall's 观战 panel: a board listing the desks whose game can be watched (number, the four
// players with computer players marked, the team scores, how long the game has run, how many
// watch). It asks "desks" when opened and every kRefreshSeconds while open, draws what its
// WatchList holds, and sends "watch" for a row picked; the hall hands it the "desks" answers and
// a refused "watch" while it is open. The list scrolls by whole rows, so only whole rows inside
// the board are drawn. Main thread only.
//
//   touch or key                           panel open
//   a row: press and release, no drag      asks to watch that desk (WatchList::ask)
//   a drag over the list                   scrolls one row per kRowStep points moved, no pick
//   the wheel over the board               scrolls one row per notch (towards the user: later)
//   关闭, Esc, a touch off the board        closes the panel
//   Enter                                  nothing (the hall's quick join neither)

#include <array>
#include <memory>

#include "engine/Engine.h"
#include "models/hall/WatchList.h"

struct stMsg;

class CWatchPanel : public engine::Node {
public:
    static constexpr int kZOrder = 100;  // with the hall's other panels
    static constexpr float kRefreshSeconds = 3;
    // The list's geometry in design points: the first row's centre, the row pitch, and the list
    // area's left and right edges.
    static constexpr float kFirstRowY = 566;
    static constexpr float kRowStep = 48;
    static constexpr float kListLeft = 80;
    static constexpr float kListRight = 944;
    // A touch that moves more than this is a drag, not a pick.
    static constexpr float kDragSlop = 8;

    CREATE_FUNC(CWatchPanel)
    bool init() override;

    // Opens with an empty list and asks for the desks.
    void open();
    void close();
    bool isOpen() const { return isVisible(); }
    // A "desks" answer or a refused "watch".
    void onServerMessage(const stMsg& msg);
    const WatchList& list() const { return m_list; }

private:
    friend struct WatchPanelProbe;

    using RowLabels = std::array<engine::Label*, WatchList::kColumns>;

    bool addHeadings();
    bool addRow(int slot);
    void listenToList();
    // The slot under a point of the list area, -1 outside it.
    int slotAt(const engine::Vec2& point) const;
    // Scheduled every 0.1 s: asks again once kRefreshSeconds have passed while open.
    void tick(float dt);
    void ask();
    // Writes every label from the model.
    void refresh();

    WatchList m_list;
    float m_sinceAsked = 0;   // seconds since "desks" was last sent, while open
    int m_dragFirst = 0;      // the first row shown when the touch began
    bool m_dragging = false;  // the touch moved beyond kDragSlop
    // Every node below is owned by the scene graph.
    engine::Sprite* m_board = nullptr;
    engine::ui::Button* m_btnClose = nullptr;
    engine::Label* m_lblStatus = nullptr;   // waiting, or no desk to watch
    engine::Label* m_lblMessage = nullptr;  // entering, or why a watch was refused
    engine::Label* m_lblRange = nullptr;    // which rows show of how many
    engine::Node* m_headings = nullptr;
    std::array<RowLabels, WatchList::kVisibleRows> m_rows{};
};
