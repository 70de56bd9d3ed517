#include "bench/server/HostileClient.h"

#include "net/Message.h"
#include "net/MessageDecoder.h"
#include "net/OutgoingMessages.h"
#include "wire/GameConstants.h"

namespace {

// Names that collide: with each other, with the numbers the server gives the first ones, and
// with the made-up names of persons who chose none.
constexpr std::array<const char*, 4> kNames = {"小明", "小明2", "小红", "player1"};
// A storm link the server never answers is given up after this long.
constexpr std::chrono::seconds kStormLinkPatience{1};
// A long-lived link the server closed is opened again after this long.
constexpr std::chrono::seconds kReopenAfter{1};

bool startsWith(const std::string& text, std::string_view start) {
    return text.rfind(start, 0) == 0;
}

}  // namespace

const char* hostileKindName(HostileKind kind) {
    switch (kind) {
        case HostileKind::Names:
            return "names";
        case HostileKind::CreateStorm:
            return "create storm";
        case HostileKind::HelloStorm:
            return "hello storm";
        case HostileKind::WrongCodes:
            return "wrong codes";
        case HostileKind::Watch:
            return "watch, desks";
        case HostileKind::AutoToggle:
            return "auto toggles";
        case HostileKind::Talk:
            return "talk";
    }
    return "?";
}

HostileClient::HostileClient(asio::io_context& io, const asio::ip::tcp::endpoint& server, Plan plan,
                             HostileTally& tally)
    : m_io(io),
      m_server(server),
      m_plan(std::move(plan)),
      m_tally(tally),
      m_random(m_plan.seed),
      m_socket(io),
      m_tickTimer(io),
      m_linkTimer(io) {}

void HostileClient::start() {
    m_token = newToken();
    connect();
}

void HostileClient::stop() {
    m_stopped = true;
    closeLink();
    m_tickTimer.cancel();
    m_linkTimer.cancel();
}

bool HostileClient::storm() const {
    return m_plan.kind == HostileKind::CreateStorm || m_plan.kind == HostileKind::HelloStorm;
}

bool HostileClient::seatedKind() const {
    return m_plan.kind == HostileKind::AutoToggle || m_plan.kind == HostileKind::Talk;
}

std::string HostileClient::newToken() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i) {
        token += kDigits[m_random() % 16];
    }
    return token;
}

void HostileClient::connect() {
    if (m_stopped) {
        return;
    }
    const std::uint64_t link = ++m_link;
    m_socket = asio::ip::tcp::socket(m_io);
    m_frames = framing::FrameAssembler();
    m_outbox.clear();
    m_writing.clear();
    m_answered = false;
    m_ticking = false;
    asio::error_code error;
    m_socket.open(asio::ip::tcp::v4(), error);
    if (!error) {
        m_socket.bind(asio::ip::tcp::endpoint(m_plan.source, 0), error);
    }
    if (error) {
        ++m_tally.linksRefused;
        linkEnded();
        return;
    }
    m_socket.async_connect(m_server, [self = shared_from_this(),
                                      link](const asio::error_code& connectError) {
        if (self->m_stopped || link != self->m_link) {
            return;
        }
        if (connectError) {
            ++self->m_tally.linksRefused;
            self->linkEnded();
            return;
        }
        ++self->m_tally.links;
        asio::error_code ignored;
        self->m_socket.set_option(asio::ip::tcp::no_delay(true), ignored);
        const HostileKind kind = self->m_plan.kind;
        self->send(kind == HostileKind::Names ? helloMessage(self->m_token, kNames[0])
                                              : helloMessage(self->m_token));
        if (kind == HostileKind::CreateStorm ||
            (self->seatedKind() && self->m_desk < 0 && self->m_plan.joinCode.empty())) {
            self->send(createDeskMessage());
        } else if (self->seatedKind() && self->m_desk < 0) {
            self->send(joinDeskMessage(self->m_plan.joinCode));
        }
        if (self->storm()) {
            self->after(kStormLinkPatience, &HostileClient::linkEnded);
        } else if (!self->seatedKind()) {
            self->scheduleTick();
        }
        self->readMore();
    });
}

void HostileClient::readMore() {
    m_socket.async_read_some(
        asio::buffer(m_readBuffer),
        [self = shared_from_this(), link = m_link](const asio::error_code& error,
                                                   std::size_t bytes) {
            if (self->m_stopped || link != self->m_link) {
                return;
            }
            if (!error) {
                self->m_frames.feed(std::string_view(self->m_readBuffer.data(), bytes));
                while (self->m_frames.next(self->m_text) ==
                       framing::FrameAssembler::Status::Frame) {
                    self->onText(self->m_text);
                    if (self->m_stopped || link != self->m_link) {
                        return;
                    }
                }
            }
            if (error || self->m_frames.failed()) {
                ++(self->m_answered ? self->m_tally.closedByServer : self->m_tally.linksRefused);
                self->linkEnded();
                return;
            }
            self->readMore();
        });
}

void HostileClient::onText(const std::string& text) {
    ++m_tally.answers;
    m_answered = true;
    if (text.find(R"("status":"refused")") != std::string::npos) {
        ++m_tally.refusals;
    }
    if (m_plan.kind == HostileKind::HelloStorm && startsWith(text, R"({"opt":"hello")")) {
        linkEnded();
    } else if (m_plan.kind == HostileKind::CreateStorm && startsWith(text, R"({"opt":"add")")) {
        linkEnded();
    } else if (seatedKind()) {
        onSeated(text);
    }
}

void HostileClient::onSeated(const std::string& text) {
    if (startsWith(text, R"({"opt":"add")") || startsWith(text, R"({"opt":"resume")")) {
        stMsg msg;
        if (decodeMessage(text, msg) != DecodeStatus::Ok) {
            return;
        }
        m_desk = msg.desk;
        m_site = msg.site;
        if (msg.opt == "add" && m_plan.onCode && !msg.code.empty()) {
            m_plan.onCode(msg.code);
            m_plan.onCode = nullptr;
        }
        if (msg.opt == "add" || msg.playing == 0) {
            send(readyMessage(m_desk, m_site));
        } else if (m_plan.kind == HostileKind::Talk) {
            send(autoMessage(m_desk, m_site, true));
        }
        if (!m_ticking) {
            m_ticking = true;
            scheduleTick();
        }
    } else if (startsWith(text, R"({"opt":"start")") && m_plan.kind == HostileKind::Talk) {
        // The computer player plays this seat, so that the desk's games go on under the talk.
        send(autoMessage(m_desk, m_site, true));
    } else if (startsWith(text, R"({"opt":"over")")) {
        if (m_plan.joinCode.empty()) {
            ++m_tally.games;  // once a desk: its creator counts
        }
        send(readyMessage(m_desk, m_site));
    }
}

void HostileClient::scheduleTick() {
    m_tickTimer.expires_after(m_plan.every);
    m_tickTimer.async_wait([self = shared_from_this(), link = m_link](const asio::error_code& error) {
        if (!error && !self->m_stopped && link == self->m_link) {
            self->tick();
            self->scheduleTick();
        }
    });
}

void HostileClient::tick() {
    const std::uint64_t tick = m_ticks++;
    switch (m_plan.kind) {
        case HostileKind::Names:
            send(nameMessage(kNames[tick % kNames.size()]));
            break;
        case HostileKind::WrongCodes: {
            const std::string digits = std::to_string(1000000 + m_random() % 1000000);
            send(joinDeskMessage(digits.substr(1)));
            break;
        }
        case HostileKind::Watch:
            send(tick % 2 == 0 ? desksMessage()
                               : watchDeskMessage(static_cast<int>(
                                     m_random() % static_cast<std::uint64_t>(m_plan.watchDesks))));
            break;
        case HostileKind::AutoToggle:
            send(autoMessage(m_desk, m_site, tick % 2 == 0));
            break;
        case HostileKind::Talk:
            send(talkMessage(m_desk, m_site, static_cast<int>(m_random() % kTalkCount)));
            break;
        case HostileKind::CreateStorm:
        case HostileKind::HelloStorm:
            break;
    }
}

void HostileClient::send(const std::string& text) {
    ++m_tally.requests;
    if (!m_writing.empty()) {
        m_outbox.push_back(text);
        return;
    }
    write(text);
}

void HostileClient::write(const std::string& text) {
    framing::appendFrame(m_writing, text);
    asio::async_write(m_socket, asio::buffer(m_writing),
                      [self = shared_from_this(), link = m_link](const asio::error_code& error,
                                                                 std::size_t) {
                          if (self->m_stopped || link != self->m_link || error) {
                              return;  // a failed write's link ends by its read
                          }
                          self->m_writing.clear();
                          if (!self->m_outbox.empty()) {
                              std::string next = std::move(self->m_outbox.front());
                              self->m_outbox.erase(self->m_outbox.begin());
                              self->write(next);
                          }
                      });
}

void HostileClient::closeLink() {
    ++m_link;
    asio::error_code ignored;
    m_socket.close(ignored);
}

void HostileClient::linkEnded() {
    closeLink();
    m_tickTimer.cancel();
    if (m_stopped) {
        return;
    }
    if (storm()) {
        m_token = newToken();
        after(m_plan.every, &HostileClient::connect);
        return;
    }
    if (!seatedKind()) {
        m_token = newToken();  // a token's hellos are limited; a new one is not
    }
    after(kReopenAfter, &HostileClient::connect);
}

void HostileClient::after(std::chrono::microseconds wait, void (HostileClient::*then)()) {
    m_linkTimer.expires_after(wait);
    m_linkTimer.async_wait(
        [self = shared_from_this(), then, link = m_link](const asio::error_code& error) {
            if (!error && !self->m_stopped && link == self->m_link) {
                ((*self).*then)();
            }
        });
}
