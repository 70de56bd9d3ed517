#pragma once
// The record of one seat at the desk: the screen elements that show the seat and the row where its
// played cards lie. CDeskSeats keeps one per screen position and finds it by server seat.
// Every pointer is a non-owning pointer to a child of the desk layer (the scene graph owns them).

#include <string>
#include <vector>

namespace engine {
class Label;
class LabelAtlas;
class Sprite;
}  // namespace engine
class CardSprite;

struct st_player_info {
    std::string name;                         // the seat's player, as "change" last said
    engine::Label* name_label = nullptr;      // the seat's nickname
    engine::Label* count_label = nullptr;     // cards left, as the server says; hidden for self
    engine::Sprite* ready_sprite = nullptr;   // ready marker
    engine::LabelAtlas* countdown = nullptr;  // turn countdown, a decimal number
    engine::Label* over_label = nullptr;      // "over": the seat has no cards left
    engine::Label* pass_label = nullptr;      // "pass": the seat passed
    engine::Label* away_tag = nullptr;  // "离线" by the name while the seat's person is away
    engine::Label* auto_tag = nullptr;  // "托管" by the name while the computer plays it
    int play_x = 0;                           // origin of the row of played cards
    int play_y = 0;
    std::vector<CardSprite*> played;  // the seat's cards now on the table
};

// Server seats are 0 to 3; any other number (-1 included) names no seat.
constexpr int kSeatCount = 4;
constexpr bool isSeatNumber(int site) {
    return site >= 0 && site < kSeatCount;
}
