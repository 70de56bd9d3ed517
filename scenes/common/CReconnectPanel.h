#pragma once
// The overlay that every scene carries for a lost server link. Hidden while the link is up; once
// the receiver thread has ended (at once, whether or not the player has dismissed the loss box)
// it shows the reconnect button and a status line over the table, takes every touch, key and
// mouse button so that nothing underneath sends or changes, and tries to connect again on the
// back-off of CReconnectSchedule: one schedule for the whole process, shared by every scene's
// panel, so a new hall does not start it afresh. Over a desk in a game the server keeps for the
// player, the schedule tries every kGameRetry and the status line says the game is kept.
//
// Where a new link leads is the server's word. Once connected, the panel becomes the reader of
// server messages (CMessagePump) and waits for the link's first record:
//   first record                          the scene that takes over
//   "hello" with resume 1, then "resume"  the desk rejoined as the resume says (no hall between)
//   "resume"                              the same
//   anything else                         a new hall (the record is dropped; the hall queries)
//   nothing within kAnswerWait            a new hall (a server that does not know "hello")
// Main thread only.

#include <memory>

#include "engine/Engine.h"
#include "models/common/CReconnectSchedule.h"
#include "scenes/common/CMessagePump.h"

class CReconnectPanel : public engine::Node, public CMessageReader {
public:
    // Seconds a new link may stay silent before a new hall takes over anyway.
    static constexpr double kAnswerWait = 2;

    // Two-phase creation; null when init fails (an image or the font is missing).
    CREATE_FUNC(CReconnectPanel)

    bool init() override;
    // The button: on release, an attempt at once (unless one is under way).
    void onReconnectButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // Every key stops here while the panel shows; Enter presses the button.
    void onKeyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event);
    // Scheduled every 0.1 s: notices the lost link, starts attempts when due, follows the one
    // under way and the new link until it delivered, and keeps the status line's countdown.
    void tick(float dt);
    // While this panel decides where a new link leads: the table above.
    void onServerMessage(const std::shared_ptr<stMsg>& msg) override;

private:
    friend struct ReconnectProbe;  // tests

    static double clock();  // the engine's clock, in seconds: the schedule's time
    bool routing() const { return m_routingSince >= 0; }
    void attempt(double now);
    void showStatus(double now);
    // A new hall takes over from this panel's scene.
    void enterNewHall();

    // The one back-off of the process: a lost link, its attempts and a new link's first record
    // are followed by whichever scene's panel runs at the time.
    static CReconnectSchedule s_schedule;
    double m_routingSince = -1;  // when this panel began to wait for a new link's first record
    engine::ui::Button* m_btnReconnect = nullptr;  // owned by the scene graph
    engine::Label* m_lblLinkStatus = nullptr;      // owned by the scene graph
};

// Puts a reconnect panel above everything else on `layer`; false when it cannot be built.
bool attachReconnectPanel(engine::Layer* layer);
