// Requests to the pure hall when it is crowded: 12,000 persons from one address hold seats at
// 3,000 full desks under the names x, x2 .. x12000 (each said hello with a token, sat down and
// closed the link). Measures one "name" request for x (answered x12001) and one quick join
// ("add", which opens desk 3,000), the work a single request makes the event loop do.

#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "server/hall/Hall.h"

namespace {

using server::ClientRequest;
using server::Hall;
using server::LinkId;
using server::Millis;

constexpr LinkId kHolders = 12000;
constexpr LinkId kAsker = kHolders + 1;

ClientRequest request(ClientRequest::Kind kind, int desk = -1, int seat = -1) {
    ClientRequest made;
    made.kind = kind;
    made.desk = desk;
    made.seat = seat;
    return made;
}

ClientRequest named(ClientRequest made, std::string name) {
    made.name = std::move(name);
    return made;
}

std::string tokenFor(LinkId link) {
    const std::string number = std::to_string(link);
    return std::string(32 - number.size(), '0') + number;
}

Hall crowded() {
    Hall hall{server::HallConfig{}};
    Hall::Output out;
    for (LinkId link = 1; link <= kHolders; ++link) {
        hall.connect(link, "10.0.0.1");
        ClientRequest hello = request(ClientRequest::Kind::Hello);
        hello.token = tokenFor(link);
        hello.name = link == 1 ? "x" : "x" + std::to_string(link);
        hall.handle(link, hello, Millis(0), out);
        hall.handle(link, request(ClientRequest::Kind::Add), Millis(0), out);
        hall.disconnect(link, Millis(0), out);
        out = Hall::Output{};
    }
    hall.connect(kAsker, "10.0.0.2");
    return hall;
}

// Built once, shared by the cases: each leaves it as it found it.
Hall& crowdedHall() {
    static Hall hall = crowded();
    return hall;
}

// A person in the hall asks for x (x12001); then, untimed, for z, so the next x is asked anew.
void BM_NameTakenBy12000(benchmark::State& state) {
    Hall& hall = crowdedHall();
    Hall::Output out;
    const ClientRequest x = named(request(ClientRequest::Kind::Name), "x");
    const ClientRequest z = named(request(ClientRequest::Kind::Name), "z");
    for (auto _ : state) {
        hall.handle(kAsker, x, Millis(0), out);
        state.PauseTiming();
        hall.handle(kAsker, z, Millis(0), out);
        out = Hall::Output{};
        state.ResumeTiming();
    }
}

// The person takes a seat at the first desk with a free one (a new desk, the others being
// full); then, untimed, leaves it again.
void BM_AddWith3000FullDesks(benchmark::State& state) {
    Hall& hall = crowdedHall();
    Hall::Output out;
    const auto desks = static_cast<int>(kHolders / 4);
    for (auto _ : state) {
        hall.handle(kAsker, request(ClientRequest::Kind::Add), Millis(0), out);
        state.PauseTiming();
        hall.handle(kAsker, request(ClientRequest::Kind::Leave, desks, 0), Millis(0), out);
        out = Hall::Output{};
        state.ResumeTiming();
    }
    state.counters["desks"] = static_cast<double>(hall.deskCount());
}

BENCHMARK(BM_NameTakenBy12000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddWith3000FullDesks)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
