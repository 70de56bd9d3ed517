#include "tests/server/DeskInbox.h"

#include "tests/server/WireCheck.h"

void DeskInbox::take(server::DeskOutput& out) {
    for (const server::Delivery& delivery : out.deliveries) {
        stMsg msg;
        EXPECT_TRUE(decodesForClient(delivery.text, msg));
        m_seats[delivery.seat].push_back(msg);
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

void DeskInbox::clear() {
    for (auto& messages : m_seats) {
        messages.clear();
    }
}
