#pragma once
// The watch panel's model: the desks of the latest "desks" answer, the window of rows shown
// (kVisibleRows, scrolled by whole rows), the desk asked to watch and what the panel says about
// it. Plain data, no engine; the panel draws it and sends what it asks. Main thread only.
//
//   input                       rows                            message
//   opened (clear)              none; kWaitingText shown        cleared; nothing asked
//   a "desks" answer            replaced; the first row kept,   unchanged
//                               clamped to the new list
//   scroll by n rows            first row moved by n, clamped   unchanged
//                               to 0 .. size - kVisibleRows
//   a row picked (ask)          unchanged                       kEnteringText; the caller sends
//                                                               "watch" (not while one waits)
//   a refused "watch"           unchanged                       the reason in words
//                                                               (RefusalWords.h); asking works again

#include <array>
#include <string>
#include <vector>

#include "net/Message.h"

class WatchList {
public:
    static constexpr int kVisibleRows = 9;
    static constexpr const char* kWaitingText = "正在获取…";
    static constexpr const char* kEmptyText = "暂无进行中的牌桌";
    static constexpr const char* kEnteringText = "正在进入…";
    static constexpr const char* kBotTag = "(电脑)";
    static constexpr const char* kFreeSeatText = "空位";

    // One row as shown: the desk, each team's two names (seats 0 and 2, then 1 and 3) with its
    // score, how long the game has run and how many watch.
    enum Column { kDesk, kTeam0, kTeam1, kScore0, kScore1, kTime, kWatchers, kColumns };
    using Row = std::array<std::string, kColumns>;

    // The panel opened: no list yet, nothing asked, no message.
    void clear();
    // A "desks" answer.
    void take(const stMsg& answer);
    // Moves the window by `rows` (positive: later desks); false when it did not move.
    bool scrollBy(int rows);
    // The desk shown in slot `slot` (0 .. kVisibleRows-1), -1 when the slot is empty.
    int deskAt(int slot) const;
    // The desk of slot `slot` is to be watched: true when the caller sends "watch" for it now
    // (the slot shows a desk and no other answer is awaited).
    bool ask(int slot);
    // A refused "watch" (by number; the join panel words refusals by code itself).
    void refuse(const stMsg& answer);

    bool waitingForWatch() const { return m_asked; }
    int firstRow() const { return m_first; }
    int size() const { return static_cast<int>(m_desks.size()); }
    const std::string& message() const { return m_message; }
    // kWaitingText before the first answer, kEmptyText for an empty list, "" when rows show.
    std::string statusText() const;
    // "first-last / size" of the rows shown when the list is longer than the window, else "".
    std::string rangeText() const;
    // The rows of the window, at most kVisibleRows.
    std::vector<Row> shownRows() const;

    // Whole seconds as m:ss (minutes unbounded); a negative count as 0:00.
    static std::string timeText(int seconds);

private:
    void clamp();

    std::vector<st_watch_desk> m_desks;
    int m_first = 0;  // the list's index of the first row shown
    bool m_answered = false;
    bool m_asked = false;
    std::string m_message;
};
