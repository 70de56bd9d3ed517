#pragma once
// One person's lane of the soak benchmark's relay: a loopback TCP relay with its own listening
// port, one link at a time (a new connection replaces the link before it), that passes the bytes
// on in order and unchanged, but
//   - holds each piece it reads for a random 0 .. maxDelay before passing it on;
//   - writes it in 1 .. maxPieces writes cut at random byte boundaries, pieceGap apart, so the
//     far side reads partial frames (a length split in two, a text cut anywhere).
// cut() closes both ends of the link at once, as a dead router would; the cut is recorded in the
// lane's LinkCuts before the link closes, so the person that finds its link gone can tell a cut
// from a close by the server. A close by either end closes the other. The io_context's thread
// only, but for cuts(), which the person's thread reads.

#include <asio.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>

#include "bench/server/LoadClient.h"

struct RelayShape {
    std::chrono::milliseconds maxDelay{4};
    int maxPieces = 3;
    std::chrono::milliseconds pieceGap{1};
};

class RelayLane : public std::enable_shared_from_this<RelayLane> {
public:
    // Listens on 127.0.0.1 at a free port at once; links go to `server` from `source`.
    RelayLane(asio::io_context& io, const asio::ip::tcp::endpoint& server,
              const asio::ip::address_v4& source, const RelayShape& shape, std::uint64_t seed);

    void start();  // accepts links from now on
    asio::ip::tcp::endpoint endpoint() const { return m_endpoint; }
    const LinkCuts& cuts() const { return m_cuts; }
    // Cuts the link that is up; false when none is (none yet, or still connecting).
    bool cut();
    void stop();

private:
    struct Link;
    struct Direction;

    void accept();
    void open(asio::ip::tcp::socket client);
    void read(const std::shared_ptr<Link>& link, Direction& direction);
    void writeNext(const std::shared_ptr<Link>& link, Direction& direction);
    // Chooses when a piece read now goes on, and where its writes split it.
    void queue(Direction& direction, std::string bytes);

    asio::io_context& m_io;
    asio::ip::tcp::endpoint m_server;
    asio::ip::address_v4 m_source;
    RelayShape m_shape;
    std::mt19937_64 m_random;
    asio::ip::tcp::acceptor m_acceptor;
    asio::ip::tcp::endpoint m_endpoint;
    std::shared_ptr<Link> m_link;
    LinkCuts m_cuts;
};
