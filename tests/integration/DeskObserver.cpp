#include "tests/integration/DeskObserver.h"

#include "cards/CardCode.h"
#include "net/Message.h"
#include "net/MessageDecoder.h"
#include "net/Socket.h"
#include "tests/support/TestSockets.h"
#include "wire/Framing.h"

namespace {

std::string seatText(const char* opt, int desk, int site, const std::string& tail) {
    return std::string("{\"opt\":\"") + opt + "\"," + tail + "\"desk\":" + std::to_string(desk) +
           ",\"site\":" + std::to_string(site) + "}";
}

}  // namespace

DeskObserver::~DeskObserver() {
    m_stopping = true;
    if (m_socket >= 0) {
        shutdownSocket(m_socket);
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_socket >= 0) {
        closeSocket(m_socket);
    }
}

bool DeskObserver::start(std::uint16_t port, const Options& options) {
    m_options = options;
    m_socket = testnet::connectLoopback(port);
    if (m_socket < 0) {
        return false;
    }
    std::string frame;
    if (!options.token.empty()) {
        framing::appendFrame(frame, "{\"opt\":\"hello\",\"token\":\"" + options.token + "\"}");
    }
    framing::appendFrame(frame, "{\"opt\":\"add\"}");
    if (!testnet::sendAll(m_socket, frame)) {
        return false;
    }
    m_linked = true;
    m_thread = std::thread(&DeskObserver::run, this);
    return true;
}

DeskObserver::Record DeskObserver::record() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_record;
}

// observer thread
void DeskObserver::run() {
    framing::FrameAssembler frames;
    std::string text;
    char buffer[16384];
    while (!m_stopping) {
        const long got = recvSome(m_socket, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        frames.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
        while (frames.next(text) == framing::FrameAssembler::Status::Frame) {
            handle(text);
        }
    }
    m_linked = false;
}

// observer thread
void DeskObserver::handle(const std::string& text) {
    stMsg msg;
    if (decodeMessage(text, msg) != DecodeStatus::Ok) {
        return;
    }
    std::string reply;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Record& r = m_record;
        r.lastText = text;
        if (msg.opt == "add") {
            r.desk = msg.desk;
            r.site = msg.site;
            reply = seatText("change", r.desk, r.site, "\"type\":\"ready\",");
        } else if (msg.opt == "change") {
            for (std::size_t k = 0; k < r.names.size(); ++k) {
                r.names[k] = msg.info[k].name;
            }
            if (!r.games.empty() && r.games.back().over && !r.games.back().seatsShownAfter) {
                r.games.back().seatsShownAfter = true;
                r.games.back().namesAfter = r.names;
            }
        } else if (msg.opt == "start") {
            r.games.emplace_back();
            if (m_options.autoPlay) {
                reply = seatText("auto", r.desk, r.site, "\"on\":1,");
            }
        } else if (msg.opt == "game" && !r.games.empty() && msg.per >= 0 && msg.per < 4) {
            Game& game = r.games.back();
            const std::vector<int> cards = parseCardList(msg.cards);
            auto& played = game.played[static_cast<std::size_t>(msg.per)];
            played.insert(played.end(), cards.begin(), cards.end());
            game.left[static_cast<std::size_t>(msg.per)] = std::stoi(msg.surplus);
        } else if (msg.opt == "score" && !r.games.empty()) {
            r.games.back().p0 = std::stoi(msg.p0);
            r.games.back().p1 = std::stoi(msg.p1);
        } else if ((msg.opt == "over" || msg.opt == "run") && !r.games.empty()) {
            r.games.back().over = true;
            r.runs += msg.opt == "run" ? 1 : 0;
            reply = seatText("change", r.desk, r.site, "\"type\":\"ready\",");
        }
    }
    if (!reply.empty()) {
        std::string frame;
        framing::appendFrame(frame, reply);
        testnet::sendAll(m_socket, frame);
    }
}
