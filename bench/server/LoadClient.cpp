#include "bench/server/LoadClient.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <random>

#include "bench/server/GameAudit.h"
#include "cards/CardCode.h"
#include "net/MessageDecoder.h"
#include "net/OutgoingMessages.h"
#include "server/bots/Bot.h"

namespace {

// A drop leaves no seat near its last cards, so the game cannot end while the link is away.
constexpr int kFewestCardsToDrop = 4;
// A soak person whose link the server closed connects again after this long.
constexpr std::chrono::milliseconds kPauseAfterClose{200};
// A spectator whose desk has no game running yet asks again after this long.
constexpr std::chrono::seconds kWatchRetry{1};

std::string tokenFrom(std::uint64_t seed) {
    std::mt19937_64 random(seed);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i) {
        token += kDigits[random() % 16];
    }
    return token;
}

std::string stringAt(const rapidjson::Value& object, const char* key) {
    const auto member = object.FindMember(key);
    return member != object.MemberEnd() && member->value.IsString()
               ? std::string(member->value.GetString(), member->value.GetStringLength())
               : std::string();
}

std::string watchText(int desk) {
    return R"({"opt":"watch","desk":)" + std::to_string(desk) + "}";
}

}  // namespace

LoadClient::LoadClient(asio::io_context& io, LoadStats& stats, const Options& options,
                       std::function<void()> done)
    : m_io(io),
      m_socket(io),
      m_stats(&stats),
      m_options(options),
      m_done(std::move(done)),
      m_token(tokenFrom(options.seed)),
      m_dropTimer(io),
      m_thinkTimer(io),
      m_autoTimer(io),
      m_jitter(options.seed) {}

void LoadClient::start(const asio::ip::tcp::endpoint& server) {
    m_server = server;
    if (m_options.watchDesk >= 0) {
        m_thinkTimer.expires_after(m_options.startAfter);
        m_thinkTimer.async_wait([self = shared_from_this()](const asio::error_code& error) {
            if (!error && !self->m_finished) {
                self->connect(watchText(self->m_options.watchDesk));
            }
        });
        return;
    }
    connect(addMessage());
    scheduleDrop();
    scheduleAuto();
}

void LoadClient::connect(const std::string& first) {
    const std::uint64_t link = ++m_link;
    m_socket = asio::ip::tcp::socket(m_io);
    if (!m_options.localAddress.empty()) {
        asio::error_code error;
        const asio::ip::address address = asio::ip::make_address(m_options.localAddress, error);
        if (!error) {
            m_socket.open(address.is_v4() ? asio::ip::tcp::v4() : asio::ip::tcp::v6(), error);
        }
        if (!error) {
            m_socket.bind(asio::ip::tcp::endpoint(address, 0), error);
        }
        if (error) {
            finish(false);
            return;
        }
    }
    m_frames = framing::FrameAssembler();
    m_outbox.clear();
    m_writing.clear();
    m_connectStart = Clock::now();
    m_socket.async_connect(m_server, [self = shared_from_this(), link,
                                      first](const asio::error_code& error) {
        if (self->m_finished || link != self->m_link) {
            return;
        }
        if (error) {
            self->finish(false);
            return;
        }
        if (first.empty()) {
            self->m_stats->connectMs.push_back(std::chrono::duration<double, std::milli>(
                                                  Clock::now() - self->m_connectStart)
                                                  .count());
        }
        asio::error_code ignored;
        self->m_socket.set_option(asio::ip::tcp::no_delay(true), ignored);
        self->send(R"({"opt":"hello","token":")" + self->m_token + R"("})");
        if (!first.empty()) {
            self->send(first);
        }
        self->readMore();
    });
}

void LoadClient::readMore() {
    m_socket.async_read_some(
        asio::buffer(m_readBuffer),
        [self = shared_from_this(), link = m_link](const asio::error_code& error,
                                                   std::size_t bytes) {
            if (self->m_finished || link != self->m_link) {
                return;
            }
            if (error) {
                self->onLinkLost();
                return;
            }
            self->m_frames.feed(std::string_view(self->m_readBuffer.data(), bytes));
            while (self->m_frames.next(self->m_text) == framing::FrameAssembler::Status::Frame) {
                ++self->m_stats->messages;
                self->onText(self->m_text);
                if (self->m_finished || link != self->m_link) {
                    return;
                }
            }
            if (self->m_frames.failed()) {
                self->finish(false);
                return;
            }
            self->readMore();
        });
}

void LoadClient::onText(const std::string& text) {
    if (m_options.watchDesk >= 0) {
        onWatchText(text);
        return;
    }
    stMsg msg;
    if (decodeMessage(text, msg) != DecodeStatus::Ok) {
        finish(false);
        return;
    }
    if (m_options.audit != nullptr) {
        m_options.audit->onText(msg, text);
    }
    if (msg.opt == "resume") {
        onResume(text);
    } else if (msg.opt == "hello") {
        onHello(text);
    } else {
        onMessage(msg);
    }
}

void LoadClient::onHello(const std::string& text) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    if (stringAt(doc, "status") != "ok") {
        finish(false);
        return;
    }
    if (m_desk < 0 || stringAt(doc, "resume") != "0") {
        return;
    }
    // The seat was freed while away: join again like a newcomer.
    ++m_stats->seatsLost;
    if (m_cutsPending > 0) {
        m_stats->seatLosses.push_back(SeatLoss{m_desk, m_lastCut, Clock::now()});
        m_cutsPending = 0;
    }
    m_desk = m_site = -1;
    m_playing = false;
    if (stopping()) {
        finish(true);
    } else {
        send(addMessage());
    }
}

void LoadClient::onLinkLost() {
    if (!m_options.rejoinOnLoss) {
        finish(false);
        return;
    }
    if (m_options.audit != nullptr) {
        m_options.audit->onLinkLost();
    }
    const std::uint64_t cuts = m_options.cuts != nullptr ? m_options.cuts->count.load() : 0;
    const bool cut = cuts > m_cutsKnown;
    if (cut) {
        m_stats->cutsSeen += cuts - m_cutsKnown;
        m_cutsPending += cuts - m_cutsKnown;
        m_cutsKnown = cuts;
        m_lastCut = Clock::time_point(std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(m_options.cuts->lastNs.load())));
    } else {
        ++m_stats->linksLost;
    }
    m_awaitingEcho = false;
    asio::error_code ignored;
    m_socket.close(ignored);
    // Not seated yet: the "add" may have been lost with the link (an "add" from a seated person
    // is ignored, so sending it again is safe).
    const std::string first = m_desk >= 0 ? "" : addMessage();
    if (cut) {
        connect(first);
        return;
    }
    // Closed by the server, or no server behind the relay: not again at once, or a server that
    // has gone would make this a busy loop.
    ++m_link;
    m_dropTimer.expires_after(kPauseAfterClose);
    m_dropTimer.async_wait([self = shared_from_this(), first](const asio::error_code& error) {
        if (!error && !self->m_finished) {
            self->connect(first);
        }
    });
}

bool LoadClient::stopping() const {
    return m_options.stop != nullptr && m_options.stop->load(std::memory_order_relaxed);
}

void LoadClient::onWatchText(const std::string& text) {
    // The server writes "opt" first: a spectator reads only the start of each text, so that the
    // benchmark's own reading costs little beside the persons it measures.
    const auto startsWith = [&text](std::string_view start) { return text.rfind(start, 0) == 0; };
    if (startsWith(R"({"opt":"watch","status":"ok")")) {
        ++m_stats->watching;
    } else if (startsWith(R"({"opt":"watch")")) {
        m_thinkTimer.expires_after(kWatchRetry);
        m_thinkTimer.async_wait([self = shared_from_this()](const asio::error_code& error) {
            if (!error && !self->m_finished) {
                self->askToWatch();
            }
        });
    } else if (startsWith(R"({"opt":"unwatch")")) {
        finish(true);
    } else if (!startsWith(R"({"opt":"hello")")) {
        ++m_stats->spectatorMessages;
        if (m_options.timeMoves && startsWith(R"({"opt":"game")")) {
            m_stats->moves.push_back(Clock::now());
        }
    }
}

void LoadClient::askToWatch() {
    send(watchText(m_options.watchDesk));
}

void LoadClient::onMessage(const stMsg& msg) {
    if (msg.opt == "add") {
        m_desk = msg.desk;
        m_site = msg.site;
        send(readyMessage(m_desk, m_site));
    } else if (msg.opt == "start") {
        m_hand = parseCardList(msg.cards);
        sortHand(m_hand);
        m_cardsLeft.fill(static_cast<int>(m_hand.size()));
        m_playing = true;
    } else if (msg.opt == "game") {
        onGame(msg);
    } else if (msg.opt == "over") {
        m_playing = false;
        ++m_stats->games;
        if (++m_games >= m_options.games || stopping()) {
            finish(true);
        } else {
            send(readyMessage(m_desk, m_site));
        }
    } else if (msg.opt == "run" && m_options.rejoinOnLoss) {
        // The game ended without a result; the desk waits for its seats to be ready again.
        ++m_stats->runs;
        m_playing = false;
        if (stopping()) {
            finish(true);
        } else {
            send(readyMessage(m_desk, m_site));
        }
    } else if (msg.opt == "run" || msg.opt == "timeout") {
        finish(false);
    }
}

void LoadClient::onGame(const stMsg& msg) {
    if (msg.per >= 0 && msg.per < 4) {
        m_cardsLeft[msg.per] = std::atoi(msg.surplus.c_str());
        if (!msg.cards.empty()) {
            m_lastPlay = parseCardList(msg.cards);
            m_lastPlayer = msg.per;
        }
        if (msg.per == m_site && m_awaitingEcho) {
            m_awaitingEcho = false;
            m_stats->playLatencyMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - m_playSent).count());
        }
    }
    if (msg.must != 0) {
        m_lastPlay.clear();
        m_lastPlayer = -1;
    }
    playIfMyTurn(msg.now, msg.score);
}

void LoadClient::onResume(const std::string& text) {
    m_stats->resumeMs.push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - m_connectStart).count());
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    const int desk = std::atoi(stringAt(doc, "desk").c_str());
    const int site = std::atoi(stringAt(doc, "site").c_str());
    if (m_cutsPending > 0) {
        if (desk == m_desk && site == m_site) {
            m_stats->backAtSeat += m_cutsPending;
            m_stats->cutToResumeMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - m_lastCut).count());
        } else {
            m_stats->seatsMoved += m_cutsPending;
        }
        m_cutsPending = 0;
    }
    m_desk = desk;
    m_site = site;
    m_playing = stringAt(doc, "playing") == "1";
    const auto info = doc.FindMember("info");
    if (info == doc.MemberEnd() || !info->value.IsArray() || info->value.Size() != 4) {
        finish(false);
        return;
    }
    if (!m_playing) {
        if (stopping()) {
            finish(true);
        } else if (stringAt(info->value[m_site], "ready") != "1") {
            send(readyMessage(m_desk, m_site));
        }
        return;
    }
    for (int seat = 0; seat < 4; ++seat) {
        m_cardsLeft[seat] = std::atoi(stringAt(info->value[seat], "surplus").c_str());
    }
    m_hand = parseCardList(stringAt(doc, "cards"));
    sortHand(m_hand);
    m_lastPlay = parseCardList(stringAt(doc, "last"));
    m_lastPlayer = std::atoi(stringAt(doc, "lastsite").c_str());
    playIfMyTurn(std::atoi(stringAt(doc, "now").c_str()),
                 std::atoi(stringAt(doc, "score").c_str()));
}

void LoadClient::playIfMyTurn(int now, int score) {
    const std::uint64_t turn = ++m_turns;
    if (now != m_site || m_hand.empty() || m_options.autoEvery.count() > 0) {
        return;
    }
    if (m_options.think.count() == 0) {
        play(score);
        return;
    }
    m_thinkTimer.expires_after(m_options.think);
    m_thinkTimer.async_wait([self = shared_from_this(), link = m_link, turn,
                             score](const asio::error_code& error) {
        if (!error && !self->m_finished && link == self->m_link && turn == self->m_turns) {
            self->play(score);
        }
    });
}

void LoadClient::play(int score) {
    int fewest = 27;
    for (int seat = 0; seat < 4; ++seat) {
        if (seat % 2 != m_site % 2 && m_cardsLeft[seat] > 0) {
            fewest = std::min(fewest, m_cardsLeft[seat]);
        }
    }
    const server::BotView view{m_hand, m_lastPlay, m_lastPlayer == (m_site + 2) % 4, score,
                               fewest};
    const std::vector<int> play = server::chooseBotPlay(view);
    for (int code : play) {
        m_hand.erase(std::find(m_hand.begin(), m_hand.end(), code));
    }
    m_playSent = Clock::now();
    m_awaitingEcho = true;
    send(play.empty() ? passMessage(m_desk, m_site) : playMessage(m_desk, m_site, play));
}

void LoadClient::send(const std::string& text) {
    if (!m_writing.empty()) {
        m_outbox.push_back(text);  // framed when its turn comes
        return;
    }
    framing::appendFrame(m_writing, text);
    asio::async_write(m_socket, asio::buffer(m_writing),
                      [self = shared_from_this(), link = m_link](const asio::error_code& error,
                                                                 std::size_t) {
                          if (self->m_finished || link != self->m_link) {
                              return;
                          }
                          if (error) {
                              self->onLinkLost();
                              return;
                          }
                          self->m_writing.clear();
                          if (!self->m_outbox.empty()) {
                              std::string next = std::move(self->m_outbox.front());
                              self->m_outbox.erase(self->m_outbox.begin());
                              self->send(next);
                          }
                      });
}

void LoadClient::scheduleDrop() {
    if (m_options.dropEvery.count() == 0) {
        return;
    }
    // Every dropEvery, give or take an eighth, so that the drops do not come in waves.
    const auto spread = m_options.dropEvery / 4;
    m_jitter = m_jitter * 6364136223846793005ull + 1442695040888963407ull;
    const auto wait = m_options.dropEvery - spread / 2 +
                      std::chrono::milliseconds((m_jitter >> 33) % (spread.count() + 1));
    m_dropTimer.expires_after(wait);
    m_dropTimer.async_wait([self = shared_from_this()](const asio::error_code& error) {
        if (!error && !self->m_finished) {
            self->drop();
            self->scheduleDrop();
        }
    });
}

void LoadClient::scheduleAuto() {
    if (m_options.autoEvery.count() == 0) {
        return;
    }
    m_autoTimer.expires_after(m_options.autoEvery);
    m_autoTimer.async_wait([self = shared_from_this()](const asio::error_code& error) {
        if (error || self->m_finished) {
            return;
        }
        if (self->m_playing) {
            self->m_autoOn = !self->m_autoOn;
            self->send(autoMessage(self->m_desk, self->m_site, self->m_autoOn));
        }
        self->scheduleAuto();
    });
}

void LoadClient::drop() {
    const bool midGame = m_playing && m_desk >= 0 &&
                         *std::min_element(m_cardsLeft.begin(), m_cardsLeft.end()) >=
                             kFewestCardsToDrop;
    if (!midGame) {
        return;
    }
    ++m_stats->drops;
    m_awaitingEcho = false;
    asio::error_code ignored;
    m_socket.close(ignored);
    connect("");
}

void LoadClient::finish(bool ok) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    if (!ok) {
        ++m_stats->failures;
    }
    m_dropTimer.cancel();
    m_thinkTimer.cancel();
    m_autoTimer.cancel();
    asio::error_code ignored;
    m_socket.close(ignored);
    m_done();
}
