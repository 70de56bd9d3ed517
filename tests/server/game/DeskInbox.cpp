#include "tests/server/game/DeskInbox.h"

#include "tests/server/protocol/WireCheck.h"

void DeskInbox::take(server::DeskOutput& out) {
    for (const server::Delivery& delivery : out.deliveries) {
        stMsg msg;
        EXPECT_TRUE(decodesForClient(delivery.text, msg));
        m_seats[delivery.seat].push_back(msg);
        m_texts[delivery.seat].push_back(delivery.text);
    }
    out.deliveries.clear();
}

std::vector<stMsg> DeskInbox::of(int index, const std::string& opt) const {
    std::vector<stMsg> found;
    for (const stMsg& msg : m_seats[index]) {
        if (msg.opt == opt) {
            found.push_back(msg);
        }
    }
    return found;
}

std::vector<std::string> DeskInbox::textsOf(int index, const std::string& opt) const {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < m_seats[index].size(); ++i) {
        if (m_seats[index][i].opt == opt) {
            found.push_back(m_texts[index][i]);
        }
    }
    return found;
}

void DeskInbox::clear() {
    for (int seat = 0; seat < 4; ++seat) {
        m_seats[seat].clear();
        m_texts[seat].clear();
    }
}
