#pragma once
// The last trick and the game's summary, beside the table's own elements. Neither sends
// anything: they show what TrickHistory and GameSummary take from the server's messages.
//
//   element            where (W x H visible)                 shown
//   上一轮 button       (W - 60, 148), right of the hand      always; enabled while a finished
//                                                            trick of this game is known
//   last-trick view    a dark board over the table area,     while 上一轮 or L is held
//                      each seat's last cards of the trick
//                      (or "pass" when it only passed) in
//                      that seat's row, dimmed, "上一轮"
//   result box         a message box                         at "over"
//   summary panel      the middle of the table               after the result's box of "over",
//                                                            until closed, ready or a new deal
//
// Holding is the one behaviour for mouse and key: the view shows from the press (the button's
// BEGAN, L pressed) to the release (ENDED or CANCELED, L released). A trick that ends while it
// is held replaces the one shown; a new deal or the ready press takes it away. The widgets and
// the L key's listener belong to the desk layer the part was made for. Main thread only.

#include <functional>
#include <memory>

#include "engine/Engine.h"
#include "models/desk/GameSummary.h"
#include "models/desk/PlayerInfo.h"
#include "models/desk/TrickHistory.h"

struct stMsg;
class CSummaryPanel;

class CLastTrick {
public:
    // The record of server seat `site`, where its row lies; null for a seat not shown.
    using SeatOf = std::function<const st_player_info*(int site)>;

    // The button, the view, the summary panel and the L key on `layer`; null when one cannot be
    // made.
    static std::unique_ptr<CLastTrick> create(engine::Node& layer, SeatOf seatOf);

    // Feeds the history and the summary with a message the desk has handled: the button follows
    // the history, a held view the trick it shows, and "over" opens the summary for `localSite`.
    void follow(const stMsg& msg, int localSite);
    // The desk was cleared for the next game: nothing of the last one is shown.
    void forget();
    // Shows the last trick over the table (`shown`) or takes it away; shown only while one is
    // known.
    void show(bool shown);
    // The seats moved on the screen: a held view is laid out again.
    void refresh();
    // The result box of "over" with its sound, for the player at `localSite`; a spectator's
    // (`watching`) names the winning team. A seat outside 0..3 has no entry: no box.
    static void showResult(const stMsg& over, int localSite, bool watching);

    engine::ui::Button* button() const { return m_btnLastTrick; }
    engine::Node* view() const { return m_view; }
    CSummaryPanel* summaryPanel() const { return m_summaryPanel; }

private:
    CLastTrick(engine::Node& layer, SeatOf seatOf) : m_layer(layer), m_seatOf(std::move(seatOf)) {}
    bool build();
    void onButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);

    engine::Node& m_layer;
    SeatOf m_seatOf;
    engine::ui::Button* m_btnLastTrick = nullptr;  // the scene graph owns the widgets
    engine::Node* m_view = nullptr;  // the board and the last trick's cards, over the table
    CSummaryPanel* m_summaryPanel = nullptr;
    TrickHistory m_trickHistory;  // the last finished trick of this game
    GameSummary m_gameSummary;    // the figures of this game, for the summary
};
