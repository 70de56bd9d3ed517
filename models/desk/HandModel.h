#pragma once
// The local player's hand: its cards in row order and which of them are raised for playing. It
// is the one record of what is raised; the desk's card sprites only show it (CHandView). Plain
// C++, no engine; main thread only.
//
//   change                  the hand
//   deal                    the cards, sorted, none raised
//   hold                    the cards as given (a rejoin's hand), none raised
//   press i                 card i turns over (raised <-> resting); it is the card last touched
//   slide to i              card i turns over, unless it is the card last touched
//   raise codes             each code raises the left-most resting copy of that code
//   lower all               nothing raised
//   play raised (send)      the raised cards, sorted, go out when `send` takes them; a refused send
//                           leaves the hand as it was
//   play first (send)       the left-most card goes out when `send` takes it
//   put back codes          each code comes back at its place by code, the others lowered
//   take out codes          the left-most copy of each code goes, the others lowered
// Each card keeps an id for its life in the hand, so that a view keeps one sprite per card.

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class HandModel {
public:
    struct Card {
        int code = 0;
        bool raised = false;
        unsigned id = 0;  // unique within this hand's life
    };
    // Sends what a play takes out; false when nothing went out.
    using Send = std::function<bool(const std::vector<int>& codes)>;

    void deal(std::vector<int> codes);
    void hold(const std::vector<int>& codes);
    void clear();

    const std::vector<Card>& cards() const { return m_cards; }
    std::size_t size() const { return m_cards.size(); }
    bool empty() const { return m_cards.empty(); }
    std::vector<int> codes() const;
    // The codes of the raised cards, from the left.
    std::vector<int> raisedCodes() const;
    // The card a touch turned last, while it is in the hand.
    std::optional<unsigned> lastTouched() const { return m_lastTouched; }

    void press(std::size_t index);
    void slideTo(std::size_t index);
    void raise(const std::vector<int>& codes);
    // True when a card was raised.
    bool lowerAll();

    // The raised cards, sorted, taken out (each code the left-most raised copy); empty when none
    // was raised or `send` refused them.
    std::vector<int> playRaised(const Send& send);
    // The left-most card's code when `send` took it out.
    std::optional<int> playFirst(const Send& send);
    void putBack(const std::vector<int>& codes);
    void takeOut(const std::vector<int>& codes);
    // The cards of `ids` leave the hand (a view that cannot draw them).
    void forget(const std::vector<unsigned>& ids);

private:
    void add(int code, std::size_t at);
    void removeAt(std::size_t index);
    // The first card that `matches` leaves the hand; none when no card matches.
    void removeFirst(const std::function<bool(const Card&)>& matches);
    void turn(std::size_t index);

    std::vector<Card> m_cards;
    std::optional<unsigned> m_lastTouched;
    unsigned m_nextId = 0;
};
