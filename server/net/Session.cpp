#include "server/net/Session.h"

#include <algorithm>

namespace server {

Session::Session(asio::ip::tcp::socket socket, std::uint64_t id, Owner& owner,
                 const SessionLimits& limits)
    : m_socket(std::move(socket)),
      m_id(id),
      m_owner(owner),
      m_limits(limits),
      m_tokens(limits.burstFrames),
      m_tokensAt(std::chrono::steady_clock::now()) {
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
    m_frames.feed(std::string_view(m_readBuffer.data(), bytes));
    for (;;) {
        switch (m_frames.next(m_text)) {
            case framing::FrameAssembler::Status::NeedMore:
                readMore();
                return;
            case framing::FrameAssembler::Status::Failed:
                close("bad frame length");
                return;
            case framing::FrameAssembler::Status::Frame:
                if (!takeFrameToken()) {
                    close("flood");
                    return;
                }
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

bool Session::takeFrameToken() {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - m_tokensAt).count();
    m_tokensAt = now;
    m_tokens = std::min(m_limits.burstFrames, m_tokens + seconds * m_limits.framesPerSecond);
    if (m_tokens < 1.0) {
        return false;
    }
    m_tokens -= 1.0;
    return true;
}

}  // namespace server
