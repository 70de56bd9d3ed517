#pragma once
// The desk's helpers beside the table: the hint, the keys and the right button, the turn alert,
// the card tracker and the floating notice. None of them sends anything of its own: a key or
// the hint only does what a press of a button or a touch on the cards would.
//
//   element           where (W x H visible)                         shown
//   hint button       (W/2 - 270, 170), scale 0.8, left of play     with the play button
//   tracker button    the top-left corner, under the score panel    always (seated)
//   tracker panel     right of the tracker button                   when toggled on (session)
//   notice            (W/2, 250), over the local seat's empty row   two seconds after a hint
//                                                                   that found nothing, or a
//                                                                   refused 入座
//
//   key                        acts as
//   Enter, keypad Enter        the play button      Backspace   the pass button
//   H                          the hint button      R           the ready button
//   T                          the tracker button   A           托管, or 取消托管 while in 托管
//   Esc, the right button      lowers the raised cards (Esc, with none raised, is left to others)
// The widgets and the listeners belong to the desk layer the helpers were made for.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "models/desk/CardTracker.h"
#include "models/desk/HintCycle.h"

class CCardTrackerPanel;

class CDeskHelp {
public:
    // What the helpers act on, owned by others.
    struct Host {
        std::function<std::vector<int>()> hand;      // the hand's codes, from the left
        std::function<std::vector<int>()> lastPlay;  // the play to beat
        // Lowers every raised card, then raises the left-most resting copy of each code.
        std::function<void(const std::vector<int>& codes)> raiseOnly;
        std::function<bool()> lowerCards;  // true when a card was raised
        // The keys of other parts' buttons; each true when the press was taken.
        std::function<bool()> play, pass, ready, autoPlay;
    };

    // The helpers on `layer`; null when one cannot be made.
    static std::unique_ptr<CDeskHelp> create(engine::Node& layer, Host host);

    // Shows or hides the hint button with the play button.
    void offerHint(bool shown);
    // A turn starts or a hand is dealt: the next hint builds its list anew.
    void resetHint() { m_hintCycle.reset(); }
    void onHintButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // Shows or hides the tracker's panel, for the rest of the session.
    void onTrackerButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);

    // The tracker: a new deal, cards seen on the table, a rejoin's hand and every card seen.
    void deal(const std::vector<int>& hand);
    void seen(const std::vector<int>& codes);
    // A spectator has no tracker.
    void hideTracker();

    // Shows `text` on the floating notice for two seconds.
    void showNotice(const std::string& text);
    // The local turn began: the chime, and a request for attention when the window lacks the
    // focus.
    static void alertTurn();

    engine::ui::Button* hintButton() const { return m_btnHint; }
    engine::ui::Button* trackerButton() const { return m_btnTracker; }
    CCardTrackerPanel* trackerPanel() const { return m_trackerPanel; }
    engine::Sprite* notice() const { return m_notice; }
    engine::Label* noticeText() const { return m_lblNotice; }
    // The session's choice to show the tracker, kept by every desk.
    static void setTrackerShown(bool shown) { s_trackerShown = shown; }

private:
    CDeskHelp(engine::Node& layer, Host host) : m_layer(layer), m_host(std::move(host)) {}
    bool build();
    void onKeyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event);

    engine::Node& m_layer;
    Host m_host;
    engine::ui::Button* m_btnHint = nullptr;  // the scene graph owns the widgets
    engine::ui::Button* m_btnTracker = nullptr;
    CCardTrackerPanel* m_trackerPanel = nullptr;
    engine::Sprite* m_notice = nullptr;    // the floating notice, with its text as a child
    engine::Label* m_lblNotice = nullptr;  // the notice's text
    HintCycle m_hintCycle;                 // this turn's hint list; forgotten when a turn starts
    CardTracker m_cardTracker;             // copies the local player has not yet seen in this game
    static bool s_trackerShown;
};
