#pragma once
// The server's "desks" answer as text, for the decoder's and the watch panel's tests.

#include <array>
#include <string>

// One entry of desk `desk`: 120:35 after 312 s, two watching, the seats named as given, seat
// `botAt` a computer player's.
inline std::string deskEntry(int desk, std::array<const char*, 4> names = {"a", "b", "c", "d"},
                             int botAt = -1) {
    std::string out = R"({"desk":")" + std::to_string(desk) +
                      R"(","p0":"120","p1":"35","seconds":"312","watchers":"2","seats":[)";
    for (int k = 0; k < 4; ++k) {
        out += (k == 0 ? R"({"name":")" : R"(,{"name":")") + std::string(names[k]) +
               R"(","bot":")" + (k == botAt ? "1" : "0") + "\"}";
    }
    return out + "]}";
}

// "desks" listing `entries`, or `count` entries of deskEntry from desk `first` on.
inline std::string desksText(const std::string& entries) {
    return R"({"opt":"desks","info":[)" + entries + "]}";
}
inline std::string desksText(int first, int count) {
    std::string entries;
    for (int desk = first; desk < first + count; ++desk) {
        entries += (entries.empty() ? "" : ",") + deskEntry(desk);
    }
    return desksText(entries);
}
