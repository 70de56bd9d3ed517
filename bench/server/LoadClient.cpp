#include "bench/server/LoadClient.h"

#include <algorithm>

#include "cards/CardCode.h"
#include "net/MessageDecoder.h"
#include "net/OutgoingMessages.h"
#include "server/bots/Bot.h"

LoadClient::LoadClient(asio::io_context& io, LoadStats& stats, int games,
                       std::function<void()> done)
    : m_socket(io), m_stats(stats), m_gamesWanted(games), m_done(std::move(done)) {}

void LoadClient::start(const asio::ip::tcp::endpoint& server) {
    m_socket.async_connect(server, [self = shared_from_this()](const asio::error_code& error) {
        if (error) {
            self->finish(false);
            return;
        }
        asio::error_code ignored;
        self->m_socket.set_option(asio::ip::tcp::no_delay(true), ignored);
        self->send(addMessage());
        self->readMore();
    });
}

void LoadClient::readMore() {
    m_socket.async_read_some(
        asio::buffer(m_readBuffer),
        [self = shared_from_this()](const asio::error_code& error, std::size_t bytes) {
            if (self->m_finished) {
                return;
            }
            if (error) {
                self->finish(false);
                return;
            }
            self->m_frames.feed(std::string_view(self->m_readBuffer.data(), bytes));
            while (self->m_frames.next(self->m_text) == framing::FrameAssembler::Status::Frame) {
                stMsg msg;
                if (decodeMessage(self->m_text, msg) != DecodeStatus::Ok) {
                    self->finish(false);
                    return;
                }
                ++self->m_stats.messages;
                self->onMessage(msg);
                if (self->m_finished) {
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

void LoadClient::onMessage(const stMsg& msg) {
    if (msg.opt == "add") {
        m_desk = msg.desk;
        m_site = msg.site;
        send(readyMessage(m_desk, m_site));
    } else if (msg.opt == "start") {
        m_hand = parseCardList(msg.cards);
        sortHand(m_hand);
        m_cardsLeft.fill(static_cast<int>(m_hand.size()));
    } else if (msg.opt == "game") {
        onGame(msg);
    } else if (msg.opt == "over") {
        ++m_stats.games;
        if (++m_games >= m_gamesWanted) {
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
            m_stats.playLatencyMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - m_playSent).count());
        }
    }
    if (msg.must != 0) {
        m_lastPlay.clear();
        m_lastPlayer = -1;
    }
    if (msg.now != m_site) {
        return;
    }
    int fewest = 27;
    for (int seat = 0; seat < 4; ++seat) {
        if (seat % 2 != m_site % 2 && m_cardsLeft[seat] > 0) {
            fewest = std::min(fewest, m_cardsLeft[seat]);
        }
    }
    const server::BotView view{m_hand, m_lastPlay, m_lastPlayer == (m_site + 2) % 4, msg.score,
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
    std::string frame;
    framing::appendFrame(frame, text);
    if (!m_writing.empty()) {
        m_outbox.push_back(std::move(frame));
        return;
    }
    m_writing = std::move(frame);
    asio::async_write(m_socket, asio::buffer(m_writing),
                      [self = shared_from_this()](const asio::error_code& error, std::size_t) {
                          if (self->m_finished) {
                              return;
                          }
                          if (error) {
                              self->finish(false);
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

void LoadClient::finish(bool ok) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    if (!ok) {
        ++m_stats.failures;
    }
    asio::error_code ignored;
    m_socket.close(ignored);
    m_done();
}
