#pragma once
// The name panel: the player's name in a text field on the catalogue's "nick" frame, 换一个 for a
// random suggestion, 确定 to keep it. The hall opens it at the first start (no name kept yet);
// the settings panel's 改名 opens it in the hall or at the desk. Main thread only.
//
//   input                          effect
//   确定, or Enter in the field     the rule (wire/PlayerName.h) refuses: its reason shown, nothing
//                                  kept. Otherwise the cleaned name is kept (CSettings) and every
//                                  later hello carries it; where the link's hello answer offered
//                                  names, "name" is sent and the panel waits for the answer, and
//                                  closes otherwise
//   "name" answer with the name    the panel closes
//   "name" or "hello" answer with  the reason shown, the panel (re)opened; the name kept is left
//   nameError                      as it is (the server still shows the one it had)
//   换一个                          a new suggestion in the field
//   Esc, a tap off the board       closes it, unless no name is kept yet (the first start)
//   any other key or touch         the field's or the panel's; nothing reaches the scene behind
// While open, the field is attached: the system's input method composes into it.

#include <memory>
#include <random>
#include <string>

#include "engine/Engine.h"

struct stMsg;

class CNamePanel : public engine::Node {
public:
    static constexpr int kZOrder = 110;  // above the settings panel, which opens it
    // The field's place and size in design points (over the white part of the "nick" frame).
    static constexpr float kFieldX = 563;
    static constexpr float kFieldY = 420;
    static constexpr float kFieldWidth = 226;
    static constexpr float kFieldHeight = 44;
    // The buttons' centres.
    static constexpr float kButtonY = 300;
    static constexpr float kSuggestX = 405;
    static constexpr float kConfirmX = 619;

    // Adds the closed panel to `host`; null when an image is missing.
    static CNamePanel* addTo(engine::Node* host);
    // The panel of the running scene (the last one entered); null when there is none.
    static CNamePanel* current();
    // The panel among `host`'s children; null when it has none.
    static CNamePanel* of(engine::Node* host);
    // A "name" answer, or a "hello" answer carrying nameError, for the running scene's panel.
    static void deliver(const stMsg& msg);

    static CNamePanel* create();
    bool init() override;

    // Shows the kept name (a suggestion when none is kept) and attaches the field.
    void open();
    void close();
    bool isOpen() const { return isVisible(); }

    // For tests: the field and the reason shown.
    engine::ui::TextField* field() const { return m_field; }
    const std::string& reasonShown() const;

protected:
    void onEnter() override;
    void onExit() override;

private:
    void confirm();
    void suggest();
    void answered(const stMsg& msg);
    void showReason(const std::string& text);
    bool mayClose() const;

    bool m_waiting = false;  // "name" sent, its answer not yet in
    std::mt19937 m_random{std::random_device{}()};
    engine::Sprite* m_board = nullptr;           // the scene graph owns the nodes pointed to
    engine::ui::TextField* m_field = nullptr;
    engine::Label* m_lblReason = nullptr;
    engine::ui::Button* m_btnConfirm = nullptr;
    engine::ui::Button* m_btnSuggest = nullptr;
};
