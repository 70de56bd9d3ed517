#pragma once
// Requests as the hall gets them once read, for the hall's tests.

#include <string>

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
