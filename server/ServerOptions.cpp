#include "server/ServerOptions.h"

#include <algorithm>
#include <charconv>
#include <random>
#include <string_view>

#include "server/game/Deal.h"

namespace server {

namespace {

// More descriptors than any system gives one process.
constexpr long long kMostConnections = 1'000'000;
constexpr long long kMostRejoins = 10'000;
constexpr long long kMaxBotThreads = 64;
constexpr long long kMaxBotDesks = 100000;

bool readNumber(std::string_view text, long long low, long long high, long long& out) {
    long long value = 0;
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (code != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

// Seconds as a decimal (e.g. 0.5) to milliseconds.
bool readSeconds(std::string_view text, Millis& out) {
    const std::string copy(text);
    char* end = nullptr;
    const double seconds = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !(seconds >= 0) || seconds > 86400.0) {
        return false;
    }
    out = Millis(static_cast<long long>(seconds * 1000.0 + 0.5));
    return true;
}

}  // namespace

std::string usageText() {
    return "usage: desk-server [options]\n"
           "  --host ADDRESS        listen address (default 127.0.0.1; 0.0.0.0: every network)\n"
           "  --port N              TCP port, 0 for any free one (default 9999)\n"
           "  --seed N              seed the shuffles for repeatable games\n"
           "  --bot-wait SECONDS    computer players sit down this long after a person (2)\n"
           "  --bot-delay SECONDS   computer players think this long before playing (1)\n"
           "  --no-bots             no computer players\n"
           "  --bot-level LEVEL     computer players' strength: easy, normal or hard (hard)\n"
           "  --bot-threads N       threads for the hard computer players' search, 1 to 64 (1)\n"
           "  --bot-desks N         open N desks of four computer players (load tests) (0)\n"
           "  --deal N              cards dealt to each player, 1 to 27 (27)\n"
           "  --turn-timeout SEC    a silent turn is passed after this long (35)\n"
           "  --ready-timeout SEC   a seated player not ready is sent away after this long (60)\n"
           "  --away-hold SEC       between games, a dropped player's seat is held this long (60)\n"
           "  --rejoin-limit N      hellos one player token may make a minute (10)\n"
           "  --name-prefix TEXT    players are named TEXT followed by a number (player)\n"
           "  --idle-timeout SEC    a connection in no game silent this long is closed (120)\n"
           "  --frame-timeout SEC   a frame must be whole this long after it began (15)\n"
           "  --max-connections N   connections beyond N are refused (4096)\n"
           "  --max-per-address N   connections from one address beyond N are refused (64)\n"
           "  --max-desks-per-address N\n"
           "                        live private desks one address may open (8)\n"
           "  --max-held-per-address N\n"
           "                        seats held for dropped players of one address (32)\n"
           "  --max-watchers-per-address N\n"
           "                        spectators from one address, a quarter of them at one desk (16)\n"
           "  --data DIR            keep the records (SQLite) in DIR (default: desk-server under\n"
           "                        $XDG_DATA_HOME or ~/.local/share; %LOCALAPPDATA% on Windows)\n"
           "  --db URL              keep the records in PostgreSQL (postgresql://user@host/db)\n"
           "  --no-records          keep no records\n"
           "  --quiet               no log lines on stderr\n"
           "  --log-messages        log every text received and sent\n"
           "  --print-addresses     print the addresses friends on this network can join at\n"
           "                        (listen for them with --host 0.0.0.0), then exit\n";
}

bool parseServerOptions(int argc, const char* const argv[], ServerConfig& config, bool& help,
                        std::string& error) {
    help = false;
    bool seeded = false;
    bool noRecords = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            help = true;
            return true;
        }
        if (option == "--no-bots") {
            config.hall.desk.bots = false;
            continue;
        }
        if (option == "--no-records") {
            noRecords = true;
            continue;
        }
        if (option == "--quiet") {
            config.log = false;
            continue;
        }
        if (option == "--log-messages") {
            config.logMessages = true;
            continue;
        }
        if (option == "--print-addresses") {
            config.printAddresses = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + std::string(option);
            return false;
        }
        const std::string_view value = argv[++i];
        long long number = 0;
        bool ok = true;
        if (option == "--host") {
            config.host = value;
        } else if (option == "--port") {
            ok = readNumber(value, 0, 65535, number);
            config.port = static_cast<unsigned short>(number);
        } else if (option == "--seed") {
            ok = readNumber(value, 0, std::numeric_limits<long long>::max(), number);
            config.hall.seed = static_cast<std::uint64_t>(number);
            seeded = true;
        } else if (option == "--deal") {
            ok = readNumber(value, 1, kFullDeal, number);
            config.hall.desk.deal = static_cast<int>(number);
        } else if (option == "--bot-level") {
            ok = parseBotLevel(value, config.hall.desk.botLevel);
        } else if (option == "--bot-threads") {
            ok = readNumber(value, 1, kMaxBotThreads, number);
            config.botThreads = static_cast<int>(number);
        } else if (option == "--bot-desks") {
            ok = readNumber(value, 0, kMaxBotDesks, number);
            config.botDesks = static_cast<int>(number);
        } else if (option == "--bot-wait") {
            ok = readSeconds(value, config.hall.desk.botWait);
        } else if (option == "--bot-delay") {
            ok = readSeconds(value, config.hall.desk.botDelay);
        } else if (option == "--turn-timeout") {
            ok = readSeconds(value, config.hall.desk.turnTimeout);
        } else if (option == "--ready-timeout") {
            ok = readSeconds(value, config.hall.desk.readyTimeout);
        } else if (option == "--away-hold") {
            ok = readSeconds(value, config.hall.desk.awayHold);
        } else if (option == "--rejoin-limit") {
            ok = readNumber(value, 1, kMostRejoins, number);
            config.hall.hellosPerMinute = static_cast<int>(number);
        } else if (option == "--idle-timeout") {
            ok = readSeconds(value, config.limits.idleTimeout) &&
                 config.limits.idleTimeout.count() > 0;
        } else if (option == "--frame-timeout") {
            ok = readSeconds(value, config.limits.frameTimeout) &&
                 config.limits.frameTimeout.count() > 0;
        } else if (option == "--max-connections") {
            ok = readNumber(value, 1, kMostConnections, number);
            config.maxConnections = static_cast<std::size_t>(number);
        } else if (option == "--max-per-address") {
            ok = readNumber(value, 1, kMostConnections, number);
            config.maxPerAddress = static_cast<std::size_t>(number);
        } else if (option == "--max-desks-per-address") {
            ok = readNumber(value, 1, kMostConnections, number);
            config.hall.maxPrivatePerAddress = static_cast<int>(number);
        } else if (option == "--max-held-per-address") {
            ok = readNumber(value, 1, kMostConnections, number);
            config.hall.maxHeldPerAddress = static_cast<int>(number);
        } else if (option == "--max-watchers-per-address") {
            ok = readNumber(value, 1, kMostConnections, number);
            config.hall.maxWatchersPerAddress = static_cast<int>(number);
            config.hall.maxWatchersPerAddressAtDesk = std::max(1, static_cast<int>(number) / 4);
        } else if (option == "--data") {
            ok = !value.empty();
            config.records.dataFolder = value;
        } else if (option == "--db") {
            ok = value.starts_with("postgresql://") || value.starts_with("postgres://");
            config.records.database = value;
        } else if (option == "--name-prefix") {
            config.hall.namePrefix = value;
        } else {
            error = "unknown option " + std::string(option);
            return false;
        }
        if (!ok) {
            error = "bad value for " + std::string(option) + ": " + std::string(value);
            return false;
        }
    }
    const bool whereGiven = !config.records.dataFolder.empty() || !config.records.database.empty();
    if (noRecords && whereGiven) {
        error = "--no-records cannot go with --data or --db";
        return false;
    }
    if (!config.records.dataFolder.empty() && !config.records.database.empty()) {
        error = "--data and --db cannot go together: the records are in one place";
        return false;
    }
    config.records.enabled = !noRecords;
    if (!seeded) {
        std::random_device device;
        config.hall.seed = (static_cast<std::uint64_t>(device()) << 32) | device();
    }
    return true;
}

}  // namespace server
