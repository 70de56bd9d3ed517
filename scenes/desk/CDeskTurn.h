#pragma once
// The turn's controls under the hand's row: the ready, play and pass buttons, and the countdown
// of the seat whose turn runs. The buttons call the desk's handlers; the countdown counts the
// running turn down once a second and says when the local turn ran out. The buttons are
// children of the desk layer the part was made for. Main thread only.
//
//   element   where (W x H visible)          shown
//   play      (W/2 - 100, 170), scale 0.8     for the local turn
//   ready     (W/2, 170), scale 0.8           between games, until pressed
//   pass      (W/2 + 100, 170), scale 0.8     for the local turn, unless it must lead

#include <functional>
#include <memory>

#include "engine/Engine.h"
#include "models/desk/PlayerInfo.h"

class CDeskTurn {
public:
    using OnButton = std::function<void(engine::Ref*, engine::ui::Widget::TouchEventType)>;
    struct Host {
        OnButton ready, play, pass;
    };

    // The buttons on `layer`; null when one cannot be made.
    static std::unique_ptr<CDeskTurn> create(engine::Node& layer, const Host& host);

    // Shows play, and pass when `passOffered`, for the local turn.
    void offer(bool passOffered);
    // Hides and disables play and pass.
    void withdraw();
    // Hides play and pass (the turn is over; the buttons are left as they are).
    void hide();
    void showReady(bool shown);

    // The turn of server seat `site` (shown by `seat`) runs from `seconds`.
    void start(int site, int seconds, st_player_info& seat);
    // No turn runs.
    void stop() { m_site = -1; }
    int site() const { return m_site; }
    int secondsLeft() const { return m_secondsLeft; }
    // The countdown of `seat` (the one of the running turn, seen again) reads `seconds`.
    void resume(int seconds, st_player_info& seat);
    // Counts `passed` seconds down on `seat`'s countdown; the local turn (`owned`) warns and
    // ticks in its last seconds and may reach -1. True when the local turn ran out: the
    // countdown, play, pass and the turn are over.
    bool tick(float passed, bool owned, st_player_info& seat);

    engine::ui::Button* readyButton() const { return m_btnReady; }
    engine::ui::Button* playButton() const { return m_btnPlay; }
    engine::ui::Button* passButton() const { return m_btnPass; }

private:
    CDeskTurn() = default;

    engine::ui::Button* m_btnReady = nullptr;  // the scene graph owns the buttons
    engine::ui::Button* m_btnPlay = nullptr;
    engine::ui::Button* m_btnPass = nullptr;
    int m_site = -1;        // server seat whose countdown runs, -1 for none
    int m_secondsLeft = 0;  // what the countdown of m_site shows
};
