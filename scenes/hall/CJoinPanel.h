#pragma once
// The hall's 加入牌桌 panel: a 6-digit field, a line for what went wrong, and a number pad.
// The digits live in a JoinCode; the panel draws it and sends {"opt":"join"} once the code is
// whole. Where the server offers watching, a 观战 key under the pad (on a taller board) sends
// {"opt":"watch"} with the code instead. The hall opens it and hands it the server's "join" and
// "watch" refusals. Main thread only.
//
//   touch or key                     panel open
//   a pad digit, keys 0-9            adds the digit (at most 6)
//   删除, Backspace                   removes the last digit
//   加入, Enter                      sends the code when whole; otherwise says 6 digits are needed
//   观战 (watching offered)          the same, to watch the desk instead of joining it
//   Esc, a touch off the board       closes the panel (the digits are forgotten)
//   any other key                    nothing: no key reaches the hall while the panel is open

#include <array>
#include <memory>

#include "engine/Engine.h"
#include "models/hall/JoinCode.h"

struct stMsg;

class CJoinPanel : public engine::Node {
public:
    static constexpr int kZOrder = 100;  // with the hall's other panels

    CREATE_FUNC(CJoinPanel)
    bool init() override;

    void open();
    void close();
    bool isOpen() const { return isVisible(); }
    // A "join", "watch" or "create" answer: the refusal is shown and the field cleared.
    void onServerMessage(const stMsg& msg);
    const JoinCode& code() const { return m_code; }

private:
    friend struct JoinPanelProbe;

    // One pad key: `text` on it, `press` on release.
    bool addKey(const std::string& text, const engine::Vec2& at,
                const std::function<void()>& press);
    void onKey(engine::EventKeyboard::KeyCode key, engine::Event* event);
    void typeDigit(char digit);
    void erase();
    // Sends the whole code as "join", or with `watching` as "watch".
    void submit(bool watching = false);
    // Writes the field and the message from the model.
    void refresh();

    JoinCode m_code;
    // Owned by the scene graph.
    engine::Sprite* m_board = nullptr;
    engine::Label* m_lblField = nullptr;
    engine::Label* m_lblMessage = nullptr;
    engine::ui::Button* m_btnWatch = nullptr;  // shown while the link offers watching
};
