#pragma once
// The desk's state as the server writes it in "resume" and in an accepted "watch": every value a
// JSON string, the keys in the server's order. The scene tests build both from one record.

#include <array>
#include <string>

// One seat of the "info" array.
struct SeatState {
    std::string name;
    std::string ready = "1";
    std::string surplus;
    std::string cards;
    std::string pass = "0";
    std::string away = "0";
    std::string autoPlay = "0";
};

// "key":"value"
inline std::string jsonPair(const std::string& key, const std::string& value) {
    return "\"" + key + "\":\"" + value + "\"";
}

// The keys the two messages share, from "playing" to "left".
struct DeskState {
    std::string playing = "1";
    std::array<SeatState, 4> seats;
    std::string seen;
    std::string last;
    std::string lastsite = "-1";
    std::string score = "0";
    std::string p0 = "0";
    std::string p1 = "0";
    std::string now = "-1";
    std::string must = "0";
    std::string left = "0";

    // The whole object: `head` the pairs before "playing" ("opt" first), `afterInfo` any pairs
    // between "info" and "seen", each followed by a comma.
    std::string json(const std::string& head, const std::string& afterInfo = "") const {
        std::string out = "{" + head + "," + jsonPair("playing", playing) + ",\"info\":[";
        for (std::size_t k = 0; k < seats.size(); ++k) {
            const SeatState& s = seats[k];
            out += (k ? ",{" : "{") + jsonPair("name", s.name) + "," + jsonPair("ready", s.ready) +
                   "," + jsonPair("away", s.away) + "," + jsonPair("auto", s.autoPlay) + "," +
                   jsonPair("surplus", s.surplus) + "," + jsonPair("cards", s.cards) + "," +
                   jsonPair("pass", s.pass) + "}";
        }
        return out + "]," + afterInfo + jsonPair("seen", seen) + "," + jsonPair("last", last) +
               "," + jsonPair("lastsite", lastsite) + "," + jsonPair("score", score) + "," +
               jsonPair("p0", p0) + "," + jsonPair("p1", p1) + "," + jsonPair("now", now) + "," +
               jsonPair("must", must) + "," + jsonPair("left", left) + "}";
    }
};
