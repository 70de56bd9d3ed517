#pragma once
// Accepts connections on one address and hands each socket on. A failed accept (for instance
// when the process is out of file descriptors) is retried a moment later instead of spinning.
// Event-loop thread only.

#include <asio.hpp>
#include <functional>
#include <string>

namespace server {

class Listener {
public:
    using Handler = std::function<void(asio::ip::tcp::socket)>;

    Listener(asio::io_context& io, Handler handler);

    // Binds and listens; port 0 picks a free port. False with the system's reason.
    bool open(const std::string& host, unsigned short port, std::string& error);
    unsigned short port() const;
    void close();

private:
    void acceptNext();

    Handler m_handler;
    asio::ip::tcp::acceptor m_acceptor;
    asio::steady_timer m_retry;
};

}  // namespace server
