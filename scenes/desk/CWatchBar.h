#pragma once
// The spectator's bar: what a desk built from an accepted "watch" shows of its own, and the
// snapshot of the watched desk that lets it be laid out again from any seat.
//
//   element         where (W x H visible)                          shown
//   观战中 · N人观看  top row, right-aligned left of the settings     always
//                   gear (where 托管 and 聊天 stand when seated)
//   入座            (W/2, 170), the ready button's place            between games while a seat
//                                                                  is free
//   a seat's name   as when seated                                 a touch on it makes its seat
//                                                                  the bottom one
// 入座 sends "sit"; the server answers "add" or a refused "sit". The widgets are children of the
// desk layer the bar was made for. Main thread only.

#include <functional>
#include <memory>
#include <string>

#include "engine/Engine.h"
#include "models/desk/DeskSnapshot.h"
#include "models/desk/PlayerInfo.h"

class CWatchBar {
public:
    // A touch on the name of the seat at screen position `position` (1 to 3).
    using WatchFrom = std::function<void(int position)>;
    // The seats' records by screen position, for their names.
    using Seats = std::vector<std::shared_ptr<st_player_info>>;

    // The bar on `layer` for the desk `watch` describes, left of the settings gear that stands
    // left of a return button of `returnSize`; null when an element cannot be made.
    static std::unique_ptr<CWatchBar> create(engine::Node& layer, const engine::Size& returnSize,
                                             const stMsg& watch, const Seats& seats,
                                             WatchFrom watchFrom);

    // The watched desk, whatever the seat it is seen from.
    const DeskSnapshot& snapshot() const { return m_snapshot; }
    // A message the desk handled: the snapshot follows it, 入座 with it.
    void follow(const stMsg& msg);
    // "watchers": the number watching.
    void setWatchers(int watchers);
    // Why the server refused a seat, in the player's words.
    static std::string sitRefusalText(const std::string& reason);

    engine::Label* watchingLabel() const { return m_lblWatching; }
    engine::ui::Button* sitButton() const { return m_btnSit; }

private:
    explicit CWatchBar(const stMsg& watch);
    bool build(engine::Node& layer, const engine::Size& returnSize, const Seats& seats,
               const WatchFrom& watchFrom);
    // 入座 while a seat is free between games; the number watching.
    void show();

    int m_watchers = 0;  // spectators of this desk, as the server last said
    DeskSnapshot m_snapshot;
    engine::Label* m_lblWatching = nullptr;  // the scene graph owns the widgets
    engine::ui::Button* m_btnSit = nullptr;
};
