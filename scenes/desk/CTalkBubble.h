#pragma once
// One seat's talk bubble: a phrase on a dark rounded panel, or an emote's face alone, shown for
// kTalkBubbleSeconds. A new talk replaces the one shown and counts its time from then. Main
// thread only.

#include <array>

#include "engine/Engine.h"
#include "wire/GameConstants.h"

class CTalkBubble : public engine::Node {
public:
    CREATE_FUNC(CTalkBubble)
    bool init() override;

    // Shows what index `say` says (a valid index only: the desk checks it) and starts the time.
    void show(int say);
    // Hides at once (a muted seat).
    void hide();
    bool showing() const { return isVisible(); }
    int said() const { return m_said; }  // the index shown last; -1 before any

private:
    int m_said = -1;
    // Owned by the scene graph.
    engine::Sprite* m_panel = nullptr;
    engine::Label* m_lblPhrase = nullptr;
    std::array<engine::Sprite*, kTalkEmotes> m_emotes{};  // by index - kTalkPhrases
};
