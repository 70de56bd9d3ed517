#pragma once
// The desk's talk panel: the 聊天 button's board of the fixed phrases and the emotes. Choosing
// one hands its index to the desk (which sends it) and closes the panel. It keeps no state of
// its own beyond being shown. Main thread only.
//
//   touch or key                panel closed             panel open
//   the 聊天 button             opens it                 closes it
//   a phrase or an emote        -                        chosen, then the panel closes
//   1 .. 8                      the desk's own           phrase 0 .. 7 chosen, the panel closes
//   Esc, a touch off the board  the desk's own           closes the panel (the desk gets none)

#include <functional>

#include "engine/Engine.h"
#include "scenes/common/CLazyPanel.h"

class CTalkPanel : public engine::Node {
public:
    static constexpr int kZOrder = 60;  // above the desk's cards, tags and banner
    // The 聊天 button's image size in design points, for the desk to place it.
    static constexpr float kButtonWidth = 96;
    static constexpr float kButtonHeight = 44;

    // Adds the 聊天 button centred at `buttonPosition` to `host`, and the place of the panel
    // below it, built at the button's first release; the button and the place through the out
    // parameters (owned by the scene graph). `onSay` gets the chosen index. False when the
    // button's image is missing.
    static bool addTo(engine::Node* host, const engine::Vec2& buttonPosition,
                      std::function<void(int)> onSay, engine::ui::Button*& button,
                      CLazyPanel<CTalkPanel>*& panel);

    CREATE_FUNC(CTalkPanel)
    bool init() override;

    void open() { setVisible(true); }
    void close() { setVisible(false); }
    bool isOpen() const { return isVisible(); }
    // As a touch on that phrase or emote: hands `say` to the desk and closes.
    void choose(int say);

private:
    friend struct TalkProbe;

    bool addChoice(int say, const engine::Vec2& at);

    std::function<void(int)> m_onSay;
    engine::Sprite* m_board = nullptr;  // owned by the scene graph, as every choice's button
};
