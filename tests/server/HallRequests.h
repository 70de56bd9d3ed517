#pragma once
// Requests as the hall gets them once read, for the hall's tests.

#include <algorithm>
#include <string>
#include <vector>

#include "server/protocol/ClientRequest.h"

inline server::ClientRequest request(server::ClientRequest::Kind kind, int desk = -1,
                                     int seat = -1) {
    server::ClientRequest made;
    made.kind = kind;
    made.desk = desk;
    made.seat = seat;
    return made;
}

inline server::ClientRequest helloRequest(const std::string& token) {
    server::ClientRequest made = request(server::ClientRequest::Kind::Hello);
    made.token = token;
    return made;
}

// Whether one of the log's lines contains `text`.
inline bool logHas(const std::vector<std::string>& log, const std::string& text) {
    return std::any_of(log.begin(), log.end(), [&text](const std::string& line) {
        return line.find(text) != std::string::npos;
    });
}
