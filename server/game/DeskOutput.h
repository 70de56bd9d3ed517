#pragma once
// What a desk produces for the outside world: messages for its seats, persons it sent away, and
// lines for the log. DeskGame appends to it; the hall delivers it.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace server {

// Time as the server sees it: milliseconds on a monotonic clock. Desks never read a clock; the
// caller passes the time in, so tests and benchmarks run games at any speed.
using Millis = std::chrono::milliseconds;

// A person at a desk is known by an opaque non-zero id (the hall uses its connection id);
// computer players have id 0.
using PersonId = std::uint64_t;

struct Delivery {
    int seat = -1;
    PersonId person = 0;  // 0 for a computer player: the hall drops those
    std::string text;
};

struct DeskOutput {
    std::vector<Delivery> deliveries;
    std::vector<PersonId> unseated;  // persons the desk sent away (ready time-out)
    std::vector<std::string> log;    // game results and runs, one line each

    void clear() {
        deliveries.clear();
        unseated.clear();
        log.clear();
    }
};

}  // namespace server
