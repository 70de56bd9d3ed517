#include "fuzz/desk_scene/DeskInvariants.h"

#include <cmath>
#include <set>
#include <string>
#include <typeinfo>

#include "fuzz/support/FuzzCheck.h"
#include "net/MessageDecoder.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"

using engine::Node;
using fuzzing::require;

namespace {

constexpr float kRestY = 45;
constexpr float kRaisedY = 70;

// Card i of n rests at x = W/2 - 9(n-1) + 18i + w/4: the row is centred and 18 points apart.
float handX(std::size_t count, std::size_t index, float cardWidth) {
    const float W = engine::Director::getInstance()->getVisibleSize().width;
    return W / 2 - 9.0f * (static_cast<float>(count) - 1) + 18.0f * static_cast<float>(index) +
           cardWidth / 4;
}

void checkHand(const DeskProbe& probe, std::set<const CardSprite*>& cards) {
    const std::vector<CardSprite*>& hand = probe.hand();
    for (std::size_t i = 0; i < hand.size(); ++i) {
        const CardSprite* card = hand[i];
        require(card != nullptr, "hand cards are not null");
        require(card->getParent() == &probe.desk, "hand cards are children of the desk");
        require(cards.insert(card).second, "a card appears once in the hand");
        require(card->getLocalZOrder() == 1, "hand cards lie above the table rows");
        const float y = card->getPositionY();
        require(y == kRestY || y == kRaisedY, "hand cards rest at y 45 or are raised to y 70");
        require(card->m_selected == (y == kRaisedY), "a hand card is selected exactly when raised");
        const float x = handX(hand.size(), i, card->getContentSize().width);
        require(std::fabs(card->getPositionX() - x) < 0.01f, "hand cards stand in the row");
        require(i == 0 || hand[i - 1]->m_card <= card->m_card,
                "the hand is sorted by code (dealt sorted; cards given back go to their place)");
    }
    const CardSprite* touched = probe.lastTouched();
    require(touched == nullptr || cards.count(touched) == 1,
            "the last touched card is forgotten when it leaves the hand");
}

// The digit atlas has no minus sign: a shown countdown reads a whole number of seconds, 0 to 30.
bool countdownReadable(const std::string& text) {
    if (text.empty() || text.size() > 2) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return std::stoi(text) <= 30;
}

void checkSeat(const DeskProbe& probe, const st_player_info& seat,
               std::set<const CardSprite*>& cards) {
    const Node* elements[] = {seat.name_label, seat.count_label, seat.ready_sprite,
                              seat.countdown,  seat.over_label,  seat.pass_label};
    for (const Node* element : elements) {
        require(element != nullptr && element->getParent() == &probe.desk,
                "every seat element is a child of the desk");
    }
    require(!seat.countdown->isVisible() || countdownReadable(seat.countdown->getString()),
            "a shown countdown reads 0 to 30");
    for (const CardSprite* card : seat.played) {
        require(card != nullptr, "played cards are not null");
        require(card->getParent() == &probe.desk, "played cards are children of the desk");
        require(cards.insert(card).second,
                "a played card lies in one row once and is not in the hand");
    }
}

void checkSeatMap(const DeskProbe& probe) {
    const auto& seats = probe.seats();
    const auto& map = probe.siteMap();
    const int mySite = probe.mySite();
    if (!isSeatNumber(mySite)) {
        require(map.empty(), "a local seat outside 0..3 maps no seat");
    } else {
        require(map.size() == 4, "a seated desk maps four seats");
        for (const auto& [site, record] : map) {
            require(isSeatNumber(site), "the seat map holds only the seats 0..3");
            require(record == seats[static_cast<std::size_t>((site - mySite + 4) % 4)],
                    "seat s is the record at screen position (s - mySite + 4) % 4");
        }
    }
    const int turn = probe.turnSite();
    require(turn == -1 || map.count(turn) == 1, "the turn is -1 or a mapped seat");
}

}  // namespace

void checkDesk(CDeskScene& desk) {
    const DeskProbe probe{desk};
    std::set<const CardSprite*> cards;
    checkHand(probe, cards);
    require(probe.seats().size() == 4, "the desk has four seat records");
    for (const auto& seat : probe.seats()) {
        require(seat != nullptr, "seat records are not null");
        checkSeat(probe, *seat, cards);
    }
    require(!probe.seats()[0]->count_label->isVisible(), "the local seat's card count is hidden");
    // typeid, not dynamic_cast: no class derives from CardSprite, and this runs after every step.
    std::size_t cardChildren = 0;
    for (const Node* child : desk.getChildren()) {
        if (typeid(*child) == typeid(CardSprite)) {
            const auto* card = static_cast<const CardSprite*>(child);
            require(cards.count(card) == 1, "every card on the desk is in the hand or a row");
            ++cardChildren;
        }
    }
    require(cardChildren == cards.size(), "the desk's card children are the hand and the rows");
    checkSeatMap(probe);
}

void checkSent(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        stMsg decoded;
        require(decodeMessage(text, decoded) == DecodeStatus::Ok, "a sent text is a JSON object");
        const std::string& opt = decoded.opt;
        require(opt == "change" || opt == "game" || opt == "query" || opt == "add" || opt == "auto",
                "a sent text is of a kind the server reads");
    }
}
