#include "server/net/Listener.h"

#include <chrono>

namespace server {

namespace {
constexpr std::chrono::milliseconds kAcceptRetry{100};
}

Listener::Listener(asio::io_context& io, Handler handler)
    : m_handler(std::move(handler)), m_acceptor(io), m_retry(io) {}

bool Listener::open(const std::string& host, unsigned short port, std::string& error) {
    asio::error_code code;
    const asio::ip::address address = asio::ip::make_address(host, code);
    if (code) {
        error = "bad listen address " + host + ": " + code.message();
        return false;
    }
    const asio::ip::tcp::endpoint endpoint(address, port);
    m_acceptor.open(endpoint.protocol(), code);
    if (!code) {
        m_acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true), code);
    }
    if (!code) {
        m_acceptor.bind(endpoint, code);
    }
    if (!code) {
        m_acceptor.listen(asio::socket_base::max_listen_connections, code);
    }
    if (code) {
        error = "cannot listen on " + host + ":" + std::to_string(port) + ": " + code.message();
        asio::error_code ignored;
        m_acceptor.close(ignored);
        return false;
    }
    acceptNext();
    return true;
}

unsigned short Listener::port() const {
    asio::error_code ignored;
    return m_acceptor.local_endpoint(ignored).port();
}

void Listener::close() {
    asio::error_code ignored;
    m_acceptor.close(ignored);
    m_retry.cancel();
}

void Listener::acceptNext() {
    m_acceptor.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
        if (error == asio::error::operation_aborted || !m_acceptor.is_open()) {
            return;
        }
        if (error) {
            m_retry.expires_after(kAcceptRetry);
            m_retry.async_wait([this](const asio::error_code& waitError) {
                if (!waitError) {
                    acceptNext();
                }
            });
            return;
        }
        m_handler(std::move(socket));
        acceptNext();
    });
}

}  // namespace server
