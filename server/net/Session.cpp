#include "server/net/Session.h"

namespace server {

namespace {

// Keep-alive probes after a minute of silence, then every 10 s; five unanswered ones end the link,
// so a peer that vanished (powered off, unplugged) is dropped within two minutes.
void setKeepAlive(asio::ip::tcp::socket& socket) {
    asio::error_code ignored;
    socket.set_option(asio::socket_base::keep_alive(true), ignored);
#if defined(TCP_KEEPIDLE) && defined(TCP_KEEPINTVL) && defined(TCP_KEEPCNT)
    socket.set_option(asio::detail::socket_option::integer<IPPROTO_TCP, TCP_KEEPIDLE>(60), ignored);
    socket.set_option(asio::detail::socket_option::integer<IPPROTO_TCP, TCP_KEEPINTVL>(10), ignored);
    socket.set_option(asio::detail::socket_option::integer<IPPROTO_TCP, TCP_KEEPCNT>(5), ignored);
#endif
}

}  // namespace

Session::Session(asio::ip::tcp::socket socket, std::uint64_t id, Owner& owner,
                 const SessionLimits& limits)
    : m_socket(std::move(socket)),
      m_id(id),
      m_owner(owner),
      m_limits(limits),
      m_input(limits, std::chrono::steady_clock::now()),
      m_deadline(m_socket.get_executor()) {
    asio::error_code error;
    const auto endpoint = m_socket.remote_endpoint(error);
    m_address = error ? "unknown peer" : endpoint.address().to_string();
    m_peer = error ? m_address : m_address + ":" + std::to_string(endpoint.port());
    m_socket.set_option(asio::ip::tcp::no_delay(true), error);
    m_socket.set_option(asio::socket_base::send_buffer_size(limits.socketSendBuffer), error);
    setKeepAlive(m_socket);
}

void Session::start() {
    armDeadline();
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
    m_deadline.cancel();
    asio::error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    m_socket.close(ignored);
    asio::post(m_socket.get_executor(),
               [self = shared_from_this(), reason] { self->m_owner.onClosed(*self, reason); });
}

void Session::restartIdle() {
    if (!m_closed) {
        armDeadline();
    }
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
                armDeadline();
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

void Session::armDeadline() {
    const bool frameStarted = m_input.buffered() > 0;
    if (frameStarted && m_frameStarted) {
        return;  // the frame's deadline runs from its first bytes, not from the latest ones
    }
    m_frameStarted = frameStarted;
    m_deadline.expires_after(frameStarted ? m_limits.frameTimeout : m_limits.idleTimeout);
    m_deadline.async_wait([self = shared_from_this()](const asio::error_code& error) {
        if (!error) {
            self->onDeadline();
        }
    });
}

void Session::onDeadline() {
    if (m_closed) {
        return;
    }
    if (m_frameStarted) {
        close("frame too slow");
    } else if (m_owner.inGame(*this)) {
        armDeadline();  // silence in a game is waiting for the others; look again later
    } else {
        close("idle");
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
