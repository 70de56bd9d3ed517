// Records in a build without the record store (no SQLite or libpq, as in the Windows build):
// --data and --db are refused with a log line and the server runs without records.

#include "server/net/Records.h"

#include <asio/post.hpp>

#include "server/protocol/ServerMessages.h"

namespace server {

struct Records::Writer {};

Records::Records(asio::io_context& io, Log log) : m_io(io), m_log(std::move(log)) {}

Records::~Records() = default;

bool Records::start(const RecordsConfig& config, std::string&) {
    if (config.enabled && (!config.dataFolder.empty() || !config.database.empty())) {
        m_log("records: --data and --db are not available in this build (it has no record "
              "store); running without records");
    }
    return true;
}

void Records::submit(const FinishedDeskGame&, Millis) {}

void Records::lookup(const Hall::Lookup& asked, Answer answer) {
    asio::post(m_io, [text = noRecordsMessage(asked.leaderboard ? kLeaderboardOpt : kRecordOpt),
                      answer = std::move(answer)]() mutable { answer(std::move(text)); });
}

void Records::stop() {}

}  // namespace server
