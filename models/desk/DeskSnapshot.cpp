#include "models/desk/DeskSnapshot.h"

#include <algorithm>
#include <charconv>

#include "cards/CardCode.h"
#include "models/desk/PlayerInfo.h"

namespace {

constexpr int kFullDeal = static_cast<int>(kGameCards) / kSeatCount;

}  // namespace

void DeskSnapshot::start(const stMsg& watch) {
    m_state = watch;
    m_state.opt = "resume";
    m_state.site = -1;
    m_state.seen.clear();
    m_state.last.clear();
    m_state.lastsite = -1;
}

void DeskSnapshot::follow(const stMsg& msg) {
    if (msg.opt == "change") {
        for (std::size_t k = 0; k < m_state.info.size(); ++k) {
            st_seat_info& seat = m_state.info[k];
            seat.name = msg.info[k].name;
            seat.ready = msg.info[k].ready;
            if (seat.name.empty()) {
                seat.surplus.clear();
                clearTable(seat);
                seat.away = 0;
                seat.auto_play = 0;
            }
        }
    } else if (msg.opt == "game") {
        followGame(msg);
    } else if (msg.opt == "score") {
        m_state.p0 = msg.p0;
        m_state.p1 = msg.p1;
    } else if (msg.opt == "presence") {
        for (std::size_t k = 0; k < m_state.info.size(); ++k) {
            m_state.info[k].away = msg.info[k].away;
            m_state.info[k].auto_play = msg.info[k].auto_play;
        }
    } else if (msg.opt == "over" || msg.opt == "run") {
        m_state.playing = 0;
        m_state.now = -1;
        m_state.must = 0;
        m_state.score = 0;
        m_state.p0 = m_state.p1 = "0";
        for (st_seat_info& seat : m_state.info) {
            seat.ready = 0;
            seat.surplus.clear();
            clearTable(seat);
        }
    }
}

void DeskSnapshot::followGame(const stMsg& game) {
    m_state.playing = 1;
    m_state.score = game.score;
    if (game.per == -1) {
        m_state.p0 = m_state.p1 = "0";
        for (st_seat_info& seat : m_state.info) {
            seat.ready = 0;
            seat.surplus = game.surplus;
            clearTable(seat);
        }
    } else if (isSeatNumber(game.per)) {
        st_seat_info& seat = m_state.info[static_cast<std::size_t>(game.per)];
        seat.surplus = game.surplus;
        seat.cards = game.cards;
        seat.pass = game.cards.empty() ? 1 : 0;
    }
    m_state.now = isSeatNumber(game.now) ? game.now : -1;
    m_state.must = game.must;
    if (m_state.now == -1) {
        return;
    }
    clearTable(m_state.info[static_cast<std::size_t>(m_state.now)]);
    if (game.must != 0) {
        for (st_seat_info& seat : m_state.info) {
            clearTable(seat);
        }
    }
}

void DeskSnapshot::clearTable(st_seat_info& seat) {
    seat.cards.clear();
    seat.pass = 0;
}

int DeskSnapshot::cardsLeft(int site) const {
    if (m_state.playing == 0 || !isSeatNumber(site)) {
        return 0;
    }
    const std::string& text = m_state.info[static_cast<std::size_t>(site)].surplus;
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc{} || end != text.data() + text.size() || count < 0) {
        return 0;
    }
    return std::min(count, kFullDeal);
}

bool DeskSnapshot::seatFree() const {
    return m_state.playing == 0 &&
           std::any_of(m_state.info.begin(), m_state.info.end(),
                       [](const st_seat_info& seat) { return seat.name.empty(); });
}
