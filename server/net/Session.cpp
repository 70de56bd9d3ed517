#include "server/net/Session.h"

namespace server {

Session::Session(asio::ip::tcp::socket socket, std::uint64_t id, Owner& owner,
                 const SessionLimits& limits)
    : m_socket(std::move(socket)),
      m_id(id),
      m_owner(owner),
      m_limits(limits),
      m_input(limits, std::chrono::steady_clock::now()) {
    asio::error_code error;
    const auto endpoint = m_socket.remote_endpoint(error);
    m_peer = error ? "unknown peer"
                   : endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
    m_socket.set_option(asio::ip::tcp::no_delay(true), error);
    m_socket.set_option(asio::socket_base::send_buffer_size(limits.socketSendBuffer), error);
}

void Session::start() {
    readMore();
}

void Session::send(std::string_view text) {
    if (m_closed) {
        return;
    }
    framing::appendFrame(m_pending, text);
    if (m_pending.size() + m_writing.size() > m_limits.maxQueuedBytes) {
        close("send queue full");
        return;
    }
    if (m_writing.empty() && !m_flushPosted) {
        // Start the write once the current handler is done, so that every frame it queues for
        // this peer leaves in one system call.
        m_flushPosted = true;
        asio::post(m_socket.get_executor(), [self = shared_from_this()] {
            self->m_flushPosted = false;
            if (!self->m_closed && self->m_writing.empty() && !self->m_pending.empty()) {
                self->writeMore();
            }
        });
    }
}

void Session::close(const std::string& reason) {
    if (m_closed) {
        return;
    }
    m_closed = true;
    asio::error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    m_socket.close(ignored);
    asio::post(m_socket.get_executor(),
               [self = shared_from_this(), reason] { self->m_owner.onClosed(*self, reason); });
}

void Session::readMore() {
    m_socket.async_read_some(
        asio::buffer(m_readBuffer),
        [self = shared_from_this()](const asio::error_code& error, std::size_t bytes) {
            self->onRead(error, bytes);
        });
}

void Session::onRead(const asio::error_code& error, std::size_t bytes) {
    if (m_closed) {
        return;
    }
    if (error) {
        close(error == asio::error::eof ? "closed by the peer" : error.message());
        return;
    }
    m_input.feed(std::string_view(m_readBuffer.data(), bytes));
    for (;;) {
        const SessionInput::Verdict verdict =
            m_input.next(m_text, std::chrono::steady_clock::now());
        switch (verdict) {
            case SessionInput::Verdict::NeedMore:
                readMore();
                return;
            case SessionInput::Verdict::BadLength:
            case SessionInput::Verdict::Flood:
                close(SessionInput::closeReason(verdict));
                return;
            case SessionInput::Verdict::Text:
                m_owner.onFrame(*this, m_text);
                if (m_closed) {
                    return;
                }
                break;
        }
    }
}

void Session::writeMore() {
    m_writing.swap(m_pending);
    asio::async_write(m_socket, asio::buffer(m_writing),
                      [self = shared_from_this()](const asio::error_code& error, std::size_t) {
                          if (self->m_closed) {
                              return;
                          }
                          if (error) {
                              self->close(error.message());
                              return;
                          }
                          self->m_writing.clear();
                          if (!self->m_pending.empty()) {
                              self->writeMore();
                          }
                      });
}

}  // namespace server
