#pragma once
// How many copies of each card the local player has not yet seen in this game.
//
// The game is two 54-card decks: eight copies of every rank from three to two, two black and two
// red jokers. Seen are the player's own dealt hand and every card another seat showed on the
// table. The player's own plays are not counted again when the server echoes them: they were seen
// in the hand already (sent, pending or played for the seat by the server alike). A deal starts
// a new count. Codes outside 0..53 and copies beyond what the decks hold are ignored, so a
// count never goes below zero whatever the server sends.
//
// Columns, in the order a player ranks them:
//
//   column  0..10        11   12   13            14
//   cards   3 4 ... K    A    2    black joker   red joker
//   copies  8 each       8    8    2             2

#include <array>
#include <vector>

class CardTracker {
public:
    static constexpr int kColumns = 15;

    // A new deal: everything unseen but the dealt `hand`.
    void deal(const std::vector<int>& hand);
    // Cards another seat showed.
    void shown(const std::vector<int>& codes);
    // Unseen copies in `column` (0..kColumns-1).
    int unseen(int column) const { return m_unseen[static_cast<std::size_t>(column)]; }
    // The column of a card code; -1 for a code that is no card.
    static int columnOf(int code);
    // Copies of the column's cards in the game's two decks.
    static int copiesIn(int column);

private:
    void see(const std::vector<int>& codes);

    std::array<int, kColumns> m_unseen = fullCount();
    static std::array<int, kColumns> fullCount();
};
