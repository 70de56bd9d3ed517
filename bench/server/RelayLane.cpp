#include "bench/server/RelayLane.h"

#include <algorithm>
#include <array>
#include <deque>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

// One way through the link: what was read from `from` and waits to be written to `to`.
struct RelayLane::Direction {
    struct Pending {
        std::string bytes;
        std::vector<std::size_t> ends;  // where each write ends, the last at bytes.size()
        std::size_t written = 0;        // writes done
        Clock::time_point due;          // the next write not before
    };

    Direction(asio::io_context& io, asio::ip::tcp::socket& from, asio::ip::tcp::socket& to)
        : from(from), to(to), timer(io) {}

    asio::ip::tcp::socket& from;
    asio::ip::tcp::socket& to;
    std::deque<Pending> pending;
    bool writing = false;
    Clock::time_point lastDue;  // a later piece never goes before an earlier one
    asio::steady_timer timer;
    std::array<char, 4096> buffer{};
};

struct RelayLane::Link {
    Link(asio::io_context& io, asio::ip::tcp::socket person)
        : client(std::move(person)), server(io), up(io, client, server), down(io, server, client) {}

    void close() {
        if (closed) {
            return;
        }
        closed = true;
        asio::error_code ignored;
        client.close(ignored);
        server.close(ignored);
        up.timer.cancel();
        down.timer.cancel();
    }

    asio::ip::tcp::socket client;
    asio::ip::tcp::socket server;
    Direction up;    // the person to the server
    Direction down;  // the server to the person
    bool connected = false;
    bool closed = false;
};

RelayLane::RelayLane(asio::io_context& io, const asio::ip::tcp::endpoint& server,
                     const asio::ip::address_v4& source, const RelayShape& shape,
                     std::uint64_t seed)
    : m_io(io),
      m_server(server),
      m_source(source),
      m_shape(shape),
      m_random(seed),
      m_acceptor(io, asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), 0)),
      m_endpoint(m_acceptor.local_endpoint()) {}

void RelayLane::start() {
    accept();
}

void RelayLane::accept() {
    m_acceptor.async_accept(
        [self = shared_from_this()](const asio::error_code& error, asio::ip::tcp::socket client) {
            if (error) {
                return;  // the listener is closed
            }
            self->open(std::move(client));
            self->accept();
        });
}

void RelayLane::open(asio::ip::tcp::socket client) {
    if (m_link) {
        m_link->close();
    }
    auto link = std::make_shared<Link>(m_io, std::move(client));
    m_link = link;
    asio::error_code error;
    link->server.open(asio::ip::tcp::v4(), error);
    if (!error) {
        link->server.bind(asio::ip::tcp::endpoint(m_source, 0), error);
    }
    if (error) {
        link->close();
        return;
    }
    link->server.async_connect(m_server, [self = shared_from_this(),
                                          link](const asio::error_code& connectError) {
        if (link->closed) {
            return;
        }
        if (connectError) {
            link->close();
            return;
        }
        asio::error_code ignored;
        link->client.set_option(asio::ip::tcp::no_delay(true), ignored);
        link->server.set_option(asio::ip::tcp::no_delay(true), ignored);
        link->connected = true;
        self->read(link, link->up);
        self->read(link, link->down);
    });
}

void RelayLane::read(const std::shared_ptr<Link>& link, Direction& direction) {
    direction.from.async_read_some(
        asio::buffer(direction.buffer),
        [self = shared_from_this(), link, &direction](const asio::error_code& error,
                                                      std::size_t bytes) {
            if (link->closed) {
                return;
            }
            if (error) {
                link->close();  // either end's close (or failure) closes the other
                return;
            }
            self->queue(direction, std::string(direction.buffer.data(), bytes));
            if (!direction.writing) {
                self->writeNext(link, direction);
            }
            self->read(link, direction);
        });
}

void RelayLane::queue(Direction& direction, std::string bytes) {
    const auto delayUs = m_shape.maxDelay.count() * 1000;
    const auto delay = std::chrono::microseconds(
        delayUs > 0 ? static_cast<long long>(m_random() % static_cast<std::uint64_t>(delayUs + 1))
                    : 0);
    direction.lastDue = std::max(direction.lastDue, Clock::now() + delay);
    Direction::Pending pending;
    const auto most = std::min<std::size_t>(static_cast<std::size_t>(std::max(1, m_shape.maxPieces)),
                                            bytes.size());
    const std::size_t pieces = 1 + m_random() % most;
    // pieces - 1 distinct split points inside the bytes, in order.
    while (pending.ends.size() + 1 < pieces) {
        const std::size_t at = 1 + m_random() % (bytes.size() - 1);
        if (std::find(pending.ends.begin(), pending.ends.end(), at) == pending.ends.end()) {
            pending.ends.push_back(at);
        }
    }
    std::sort(pending.ends.begin(), pending.ends.end());
    pending.ends.push_back(bytes.size());
    pending.bytes = std::move(bytes);
    pending.due = direction.lastDue;
    direction.pending.push_back(std::move(pending));
}

void RelayLane::writeNext(const std::shared_ptr<Link>& link, Direction& direction) {
    if (direction.pending.empty()) {
        direction.writing = false;
        return;
    }
    direction.writing = true;
    direction.timer.expires_at(direction.pending.front().due);
    direction.timer.async_wait([self = shared_from_this(), link,
                                &direction](const asio::error_code&) {
        if (link->closed) {
            return;
        }
        const Direction::Pending& next = direction.pending.front();
        const std::size_t from = next.written == 0 ? 0 : next.ends[next.written - 1];
        asio::async_write(
            direction.to, asio::buffer(next.bytes.data() + from, next.ends[next.written] - from),
            [self, link, &direction](const asio::error_code& error, std::size_t) {
                if (link->closed) {
                    return;
                }
                if (error) {
                    link->close();
                    return;
                }
                Direction::Pending& written = direction.pending.front();
                if (++written.written == written.ends.size()) {
                    direction.pending.pop_front();
                } else {
                    written.due = Clock::now() + self->m_shape.pieceGap;
                }
                self->writeNext(link, direction);
            });
    });
}

bool RelayLane::cut() {
    if (!m_link || m_link->closed || !m_link->connected) {
        return false;
    }
    m_cuts.lastNs.store(
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
            .count());
    m_cuts.count.fetch_add(1);
    m_link->close();
    return true;
}

void RelayLane::stop() {
    asio::error_code ignored;
    m_acceptor.close(ignored);
    if (m_link) {
        m_link->close();
    }
}
