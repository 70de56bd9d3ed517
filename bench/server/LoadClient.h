#pragma once
// One protocol client of the load benchmark: joins, readies, plays its seat with the computer
// players' strategy using the client's own message texts, and records how long each of its plays
// takes to come back as the server's "game" message. All clients share one io_context thread.

#include <array>
#include <asio.hpp>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/Framing.h"
#include "net/Message.h"

struct LoadStats {
    std::uint64_t messages = 0;
    std::uint64_t games = 0;
    std::uint64_t failures = 0;  // connections lost or refused before the client was done
    std::vector<double> playLatencyMs;
};

class LoadClient : public std::enable_shared_from_this<LoadClient> {
public:
    LoadClient(asio::io_context& io, LoadStats& stats, int games, std::function<void()> done);
    void start(const asio::ip::tcp::endpoint& server);

private:
    using Clock = std::chrono::steady_clock;

    void readMore();
    void onMessage(const stMsg& msg);
    void onGame(const stMsg& msg);
    void send(const std::string& text);
    void finish(bool ok);

    asio::ip::tcp::socket m_socket;
    LoadStats& m_stats;
    int m_gamesWanted = 0;
    std::function<void()> m_done;
    framing::FrameAssembler m_frames;
    std::array<char, 8192> m_readBuffer{};
    std::string m_text;
    std::vector<std::string> m_outbox;  // frames waiting for the write in flight
    std::string m_writing;
    bool m_finished = false;

    int m_desk = -1;
    int m_site = -1;
    int m_games = 0;
    std::vector<int> m_hand;
    std::vector<int> m_lastPlay;
    int m_lastPlayer = -1;
    std::array<int, 4> m_cardsLeft{};
    Clock::time_point m_playSent;
    bool m_awaitingEcho = false;
};
