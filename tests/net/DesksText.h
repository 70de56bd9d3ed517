#pragma once
// The server's "desks" answer as text, for the decoder's and the watch panel's tests.

#include <string>
#include <vector>

// One entry of desk `desk`: 120:35 after 312 s, two watching, its four seats named by `names`
// (a name ending in '*' is a computer player's).
inline std::string deskEntry(int desk, std::vector<std::string> names = {"a", "b", "c", "d"}) {
    std::string seats;
    for (std::string& name : names) {
        const bool bot = !name.empty() && name.back() == '*';
        name.resize(name.size() - (bot ? 1 : 0));
        seats += (seats.empty() ? "{" : ",{") + (R"("name":")" + name + R"(","bot":")") +
                 (bot ? "1" : "0") + "\"}";
    }
    return R"({"desk":")" + std::to_string(desk) +
           R"(","p0":"120","p1":"35","seconds":"312","watchers":"2","seats":[)" + seats + "]}";
}

// "desks" listing `entries`, or with `count` entries of deskEntry from desk `first` on.
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
