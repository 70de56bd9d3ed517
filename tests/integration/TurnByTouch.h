#pragma once
// Playing the headless client's desk as a person would, through its own touch handlers: the
// button positions of the desk's design, and one legal turn by touching cards. No test framework,
// so a separate client process can use it too.

#include <algorithm>
#include <vector>

#include "cards/LegalPlays.h"
#include "engine/backend/headless/Headless.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"

inline const engine::Vec2 kReady(512, 170);
inline const engine::Vec2 kPlay(412, 170);
inline const engine::Vec2 kPass(612, 170);

inline void tapAt(const engine::Vec2& point) {
    engine::headless::tap(point.x, point.y);
}

// What takeLegalTurn did.
enum class TurnTaken { Played, Passed, NoWayToPass, NotRaised };

// On the local turn, as a player would: raises the cards of the first legal play by touching
// them and presses play, or presses pass when nothing in the hand beats the table.
inline TurnTaken takeLegalTurn(DeskProbe& probe) {
    std::vector<int> hand;
    for (const CardSprite* card : probe.hand()) {
        hand.push_back(card->m_card);
    }
    const auto plays = legalPlays(hand, probe.lastPlay());
    if (plays.empty()) {
        if (!probe.pass()->isVisible()) {
            return TurnTaken::NoWayToPass;
        }
        tapAt(kPass);
        return TurnTaken::Passed;
    }
    const std::vector<int>& play = plays.front();
    std::vector<bool> taken(probe.hand().size(), false);
    for (int code : play) {
        for (std::size_t i = 0; i < probe.hand().size(); ++i) {
            const CardSprite* card = probe.hand()[i];
            if (!taken[i] && card->m_card == code) {
                taken[i] = true;
                if (!card->m_selected) {
                    const engine::Rect box = card->getBoundingBox();
                    engine::headless::tap(box.getMinX() + 9, 45);
                }
                break;
            }
        }
    }
    std::vector<int> raised = probe.collectRaised();
    std::sort(raised.begin(), raised.end());
    if (raised != play) {
        return TurnTaken::NotRaised;
    }
    tapAt(kPlay);
    return TurnTaken::Played;
}
