#pragma once
// The four seats around the desk: each seat's name, cards left, turn countdown, ready / over /
// pass markers and 离线 / 托管 tags, and the map from server seats to screen positions.
//
// Server seat s sits at screen position (s - local + 4) % 4, where 0 is the bottom (the local
// player, or the seat a spectator sees from), 1 the right, 2 the top and 3 the left. The records
// are kept by screen position and found by server seat; a seat number outside 0..3 names no
// seat. The labels are children of the desk layer the seats were made for. Main thread only.

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "models/desk/PlayerInfo.h"

namespace engine {
class Node;
}
struct stMsg;
struct st_seat_info;

class CDeskSeats {
public:
    using Seats = std::vector<std::shared_ptr<st_player_info>>;
    using SiteMap = std::map<int, std::shared_ptr<st_player_info>>;
    using Visit = std::function<void(int site, st_player_info& seat, const st_seat_info& entry)>;

    // The seats' labels on `layer`; null when one cannot be made.
    static std::unique_ptr<CDeskSeats> create(engine::Node& layer);

    // Maps the server seats around `localSite` at the bottom; none when it names no seat.
    void map(int localSite);
    int localSite() const { return m_localSite; }
    // The screen position of server seat `site`.
    int positionOf(int site) const;
    st_player_info* seatOf(int site) const;  // null for a number that names no seat
    const Seats& byPosition() const { return m_seats; }
    const SiteMap& bySite() const { return m_siteMap; }
    // Calls `visit` for every mapped seat with its server seat, its record and its entry in
    // `msg.info`.
    void forEach(const stMsg& msg, const Visit& visit) const;
    // True while a seat has no player.
    bool seatFree() const;

    // "change": each seat's name and ready marker; `emptied` hears of each seat left empty,
    // before its ready marker is set.
    void showNames(const stMsg& change, const std::function<void(int site)>& emptied);
    // Hides the countdown and the ready, over and pass markers of one seat.
    static void hideMarkers(st_player_info& seat);
    void hideReady();
    // Every seat's cards left reads `text` (the local seat's, hidden, too unless `othersOnly`).
    void showCounts(const std::string& text, bool othersOnly);
    // The 离线 and 托管 tags as presence says.
    static void showPresence(st_player_info& seat, const st_seat_info& entry);

private:
    explicit CDeskSeats(engine::Node& layer) : m_layer(layer) {}
    bool addSeat(int position);

    engine::Node& m_layer;
    int m_localSite = 0;
    Seats m_seats;      // by screen position
    SiteMap m_siteMap;  // by server seat
};
