#pragma once
// Collects a desk's output the way the seats' clients would see it: every delivery is decoded
// with the client's decoder (and checked to carry only string values), then kept per seat.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "net/Message.h"
#include "server/game/DeskOutput.h"

class DeskInbox {
public:
    // Decodes and files every delivery of `out`, then clears it.
    void take(server::DeskOutput& out);

    std::vector<stMsg>& seat(int index) { return m_seats[index]; }
    // Messages of one kind received by a seat, oldest first.
    std::vector<stMsg> of(int index, const std::string& opt) const;
    // The same as the texts sent, for kinds the client's decoder does not read.
    std::vector<std::string> textsOf(int index, const std::string& opt) const;
    void clear();

private:
    std::array<std::vector<stMsg>, 4> m_seats;
    std::array<std::vector<std::string>, 4> m_texts;  // beside m_seats, one for one
};
