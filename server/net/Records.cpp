#include "server/net/Records.h"

#include <asio/post.hpp>
#include <chrono>
#include <cmath>

#include "server/platform/DataFolder.h"
#include "server/platform/Utf8.h"
#include "server/protocol/ServerMessages.h"
#if DESK_STORE_POSTGRES
#include "server/store/PostgresStore.h"
#endif
#include "server/store/Rating.h"
#include "server/store/SqliteStore.h"
#include "server/store/StoreWriter.h"

namespace server {

namespace {

std::string mateName(const store::TableMate& mate) {
    return mate.botLevel.empty() ? mate.name : computerName(mate.botLevel);
}

std::string recordText(const store::StoreResult& result, const store::PlayerFigures& figures,
                       const std::vector<store::GameLine>& lines) {
    if (!result.ok()) {
        return noRecordsMessage(kRecordOpt);
    }
    RecordFigures shown{figures.games, figures.wins, figures.draws, figures.losses, figures.points,
                        std::llround(figures.known ? figures.rating : store::kInitialRating)};
    std::vector<RecordGame> last;
    for (const store::GameLine& line : lines) {
        last.push_back(RecordGame{line.finishedAtMs / 1000, line.result, line.points,
                                  mateName(line.partner),
                                  mateName(line.opponents[0]) + "," + mateName(line.opponents[1])});
    }
    return recordMessage(shown, last);
}

std::string leaderboardText(const store::StoreResult& result, const store::Leaderboard& board) {
    if (!result.ok()) {
        return noRecordsMessage(kLeaderboardOpt);
    }
    std::vector<LeaderLine> top;
    for (const store::LeaderboardRow& row : board.rows) {
        top.push_back(LeaderLine{row.place, row.name, std::llround(row.rating), row.ratedGames});
    }
    return leaderboardMessage(top, board.ownPlace > 0 ? board.ownPlace : -1);
}

// The desk's report as the store keeps it: Unix time, persons by their token's hash, and an id
// of its own drawn now, once, so that the writer's retries all carry the same one.
store::FinishedGame storedGame(const FinishedDeskGame& game, Millis now) {
    using namespace std::chrono;
    const std::int64_t unixNowMs =
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    store::FinishedGame stored;
    stored.uid = store::newGameUid();
    stored.finishedAtMs = unixNowMs - (now - game.overAt).count();
    stored.lengthMs = (game.overAt - game.dealtAt).count();
    stored.desk = game.desk;
    for (std::size_t seat = 0; seat < game.seats.size(); ++seat) {
        const FinishedSeat& from = game.seats[seat];
        stored.seats[seat] = from.person != 0
                                 ? store::SeatPlayer::person(from.tokenHash, from.name)
                                 : store::SeatPlayer::computer(botLevelName(from.level));
    }
    stored.teamPoints = game.teamPoints;
    stored.results = game.results;
    stored.seed = game.seed;
    return stored;
}

}  // namespace

struct Records::Writer {
    std::unique_ptr<store::StoreWriter> writer;
};

Records::Records(asio::io_context& io, Log log) : m_io(io), m_log(std::move(log)) {}

Records::~Records() {
    stop();
}

bool Records::start(const RecordsConfig& config, std::string& error) {
    if (!config.enabled) {
        return true;
    }
    std::unique_ptr<store::RecordStore> store;
    if (!config.database.empty()) {
#if DESK_STORE_POSTGRES
        store = std::make_unique<store::PostgresStore>(config.database);
#else
        error = "--db needs PostgreSQL, which this build of desk-server has not: keep the "
                "records in SQLite (--data DIR)";
        return false;
#endif
    } else {
        const std::string folder =
            config.dataFolder.empty() ? defaultDataFolder() : config.dataFolder;
        if (folder.empty()) {
            error = "no data folder for the records: give --data DIR (or --no-records)";
            return false;
        }
        store = std::make_unique<store::SqliteStore>(pathFromUtf8(folder));
    }
    // Opened here first, so that a store that cannot be opened ends the server at once; the
    // writer thread opens its own connection again.
    if (const store::StoreResult opened = store->open(); !opened.ok()) {
        error = "cannot open the records (" + store->describe() + "): " + opened.message;
        return false;
    }
    m_writer = std::make_unique<Writer>();
    m_writer->writer = std::make_unique<store::StoreWriter>(
        std::move(store), [log = m_log](const store::WriterEvent& event) {
            log(store::logLine(event));
        });
    return true;
}

void Records::submit(const FinishedDeskGame& game, Millis now) {
    if (m_writer) {
        m_writer->writer->submit(storedGame(game, now));
    }
}

void Records::lookup(const Hall::Lookup& asked, Answer answer) {
    const auto post = [&io = m_io, answer](std::string text) {
        asio::post(io, [answer, text = std::move(text)]() mutable { answer(std::move(text)); });
    };
    bool queued = false;
    if (m_writer && asked.leaderboard) {
        queued = m_writer->writer->askLeaderboard(
            asked.tokenHash,
            [post](const store::StoreResult& result, const store::Leaderboard& board) {
                post(leaderboardText(result, board));
            });
    } else if (m_writer) {
        queued = m_writer->writer->askFigures(
            asked.tokenHash, [post](const store::StoreResult& result,
                                    const store::PlayerFigures& figures,
                                    const std::vector<store::GameLine>& lines) {
                post(recordText(result, figures, lines));
            });
    }
    if (!queued) {
        post(noRecordsMessage(asked.leaderboard ? kLeaderboardOpt : kRecordOpt));
    }
}

void Records::stop() {
    if (m_writer) {
        m_writer->writer->stop();
    }
}

}  // namespace server
