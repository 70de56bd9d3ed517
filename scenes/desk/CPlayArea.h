#pragma once
// The middle of the desk: the score panel with both teams' scores, the desk's number, the points
// on the table, each seat's row of played cards, and the play the next one must beat. The
// labels and cards are children of the desk layer the area was made for. Main thread only.
//
//   element         where (W x H visible)
//   score panel     the top-left corner; own team's score at x 80, the other's at x 170
//   desk number     (W/2, H/2)
//   table points    (W/2, H/2 + 30)
//   played card k   the seat's row origin + (w + 18k, 0), w the card's width

#include <memory>
#include <string>
#include <vector>

#include "engine/base/Vec2.h"
#include "models/desk/PlayerInfo.h"

namespace engine {
class Label;
class Node;
}  // namespace engine

class CPlayArea {
public:
    // The panel and the labels on `layer`; null when one cannot be made.
    static std::unique_ptr<CPlayArea> create(engine::Node& layer);

    void showDesk(int desk);
    // The three scores read "0".
    void resetScores();
    // Team scores p0 (seats 0 and 2) and p1, the local seat's team first.
    void showTeamScores(const std::string& p0, const std::string& p1, int localSite);
    void showTableScore(int points);

    // Puts `codes` on the table in the seat's row (no sound).
    void lay(st_player_info& seat, const std::vector<int>& codes);
    void clear(st_player_info& seat);
    // Where card `index` of a seat's row of played cards lies.
    static engine::Vec2 playedCardPosition(const st_player_info& seat, std::size_t index,
                                           float cardWidth);

    // The play to beat; empty when the local player may lead.
    std::vector<int>& lastPlay() { return m_lastPlay; }

    engine::Label* deskLabel() const { return m_lblDesk; }
    engine::Label* ownScore() const { return m_lblOwnScore; }
    engine::Label* otherScore() const { return m_lblOtherScore; }
    engine::Label* tableScore() const { return m_lblTableScore; }

private:
    explicit CPlayArea(engine::Node& layer) : m_layer(layer) {}

    engine::Node& m_layer;
    engine::Label* m_lblDesk = nullptr;  // the scene graph owns the labels
    engine::Label* m_lblOwnScore = nullptr;
    engine::Label* m_lblOtherScore = nullptr;
    engine::Label* m_lblTableScore = nullptr;
    std::vector<int> m_lastPlay;
};
