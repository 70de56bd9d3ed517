#pragma once
// The overlay that every scene carries for a lost server link. Hidden while the link is up; once
// the receiver thread has ended (its boxes dismissed) it shows the reconnect button and a status
// line over the table, takes every touch, key and mouse button so that nothing underneath sends
// or changes, and tries to connect again on the back-off of CReconnectSchedule. A new link
// replaces the scene with a new hall.
// Main thread only.

#include "engine/Engine.h"
#include "scenes/common/CReconnectSchedule.h"

class CReconnectPanel : public engine::Node {
public:
    // Two-phase creation; null when init fails (an image or the font is missing).
    CREATE_FUNC(CReconnectPanel)

    bool init() override;
    // The button: on release, an attempt at once (unless one is under way).
    void onReconnectButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // Every key stops here while the panel shows; Enter presses the button.
    void onKeyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event);
    // Scheduled every 0.1 s: notices the lost link, starts attempts when due, follows the one
    // under way, and keeps the status line's countdown.
    void tick(float dt);

private:
    friend struct ReconnectProbe;  // tests

    void attempt();
    void showStatus();
    // The new link is up: a new hall takes over from this panel's scene.
    void enterNewHall();

    CReconnectSchedule m_schedule;
    double m_clock = 0;  // seconds of this panel's timer, the schedule's time
    engine::ui::Button* m_btnReconnect = nullptr;  // owned by the scene graph
    engine::Label* m_lblLinkStatus = nullptr;      // owned by the scene graph
};

// Puts a reconnect panel above everything else on `layer`; false when it cannot be built.
bool attachReconnectPanel(engine::Layer* layer);
