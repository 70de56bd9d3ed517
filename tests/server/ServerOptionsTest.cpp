#include <gtest/gtest.h>

#include <vector>

#include "server/ServerOptions.h"

namespace {

bool parse(std::vector<const char*> args, server::ServerConfig& config, std::string& error) {
    args.insert(args.begin(), "desk-server");
    bool help = false;
    return server::parseServerOptions(static_cast<int>(args.size()), args.data(), config, help,
                                      error);
}

TEST(ServerOptions, ReadsEveryOption) {
    server::ServerConfig config;
    std::string error;
    ASSERT_TRUE(
        parse({"--host",         "0.0.0.0", "--port",          "0",  "--seed",        "77",
               "--bot-wait",     "0.5",     "--bot-delay",     "0",  "--deal",        "5",
               "--turn-timeout", "3",       "--ready-timeout", "90", "--name-prefix", "guest",
               "--idle-timeout", "0.25",    "--frame-timeout", "2",  "--max-connections", "10",
               "--max-per-address", "3",    "--away-hold",     "7.5",  "--rejoin-limit", "60",
               "--bot-level",    "normal",  "--bot-threads",   "3",  "--bot-desks",   "12",
               "--max-desks-per-address", "2", "--max-held-per-address", "5",
               "--max-watchers-per-address", "9",
               "--no-bots",      "--quiet"},
              config, error))
        << error;
    EXPECT_EQ(config.host, "0.0.0.0");
    EXPECT_EQ(config.port, 0);
    EXPECT_EQ(config.hall.seed, 77u);
    EXPECT_EQ(config.hall.desk.botWait, server::Millis(500));
    EXPECT_EQ(config.hall.desk.botDelay, server::Millis(0));
    EXPECT_EQ(config.hall.desk.deal, 5);
    EXPECT_EQ(config.hall.desk.turnTimeout, server::Millis(3000));
    EXPECT_EQ(config.hall.desk.readyTimeout, server::Millis(90000));
    EXPECT_EQ(config.hall.desk.awayHold, server::Millis(7500));
    EXPECT_EQ(config.hall.hellosPerMinute, 60);
    EXPECT_EQ(config.hall.namePrefix, "guest");
    EXPECT_EQ(config.limits.idleTimeout, server::Millis(250));
    EXPECT_EQ(config.limits.frameTimeout, server::Millis(2000));
    EXPECT_EQ(config.maxConnections, 10u);
    EXPECT_EQ(config.maxPerAddress, 3u);
    EXPECT_EQ(config.hall.maxPrivatePerAddress, 2);
    EXPECT_EQ(config.hall.maxHeldPerAddress, 5);
    EXPECT_EQ(config.hall.maxWatchersPerAddress, 9);
    EXPECT_EQ(config.hall.maxWatchersPerAddressAtDesk, 2);
    EXPECT_FALSE(config.hall.desk.bots);
    EXPECT_EQ(config.hall.desk.botLevel, server::BotLevel::Normal);
    EXPECT_EQ(config.botThreads, 3);
    EXPECT_EQ(config.botDesks, 12);
    EXPECT_FALSE(config.log);
}

TEST(ServerOptions, RefusesBadValues) {
    const std::vector<std::vector<const char*>> rows = {
        {"--port", "65536"},   {"--port", "-1"},       {"--port", "99x"},       {"--deal", "0"},
        {"--deal", "28"},      {"--bot-wait", "-1"},   {"--bot-delay", "soon"}, {"--seed"},
        {"--frobnicate", "1"}, {"--turn-timeout", ""},  {"--bot-level", "expert"},
        {"--bot-level"},       {"--bot-threads", "0"}, {"--bot-desks", "-1"},
        {"--idle-timeout", "0"}, {"--frame-timeout", "0"}, {"--max-connections", "0"},
        {"--max-per-address", "-2"}, {"--away-hold", "-5"}, {"--away-hold"},
        {"--rejoin-limit", "0"}, {"--max-held-per-address", "0"}, {"--data", ""}, {"--data"}, {"--db", "mysql://host/db"},
        {"--db", "/tmp/records"}, {"--no-records", "--data", "/tmp/x"},
        {"--db", "postgresql://h/d", "--no-records"}, {"--data", "/tmp/x", "--db", "postgresql://h/d"},
    };
    for (const auto& row : rows) {
        server::ServerConfig config;
        std::string error;
        EXPECT_FALSE(parse(row, config, error)) << row[0];
        EXPECT_FALSE(error.empty()) << row[0];
    }
}

TEST(ServerOptions, ComputerPlayersDefaultToTheHardLevelSearchingOffTheLoop) {
    server::ServerConfig config;
    std::string error;
    ASSERT_TRUE(parse({}, config, error)) << error;
    EXPECT_EQ(config.hall.desk.botLevel, server::BotLevel::Hard);
    EXPECT_TRUE(config.hall.desk.botJobs);
    EXPECT_EQ(config.botDesks, 0);
    EXPECT_EQ(config.hall.desk.awayHold, server::Millis(60000)) << "a dropped seat is held a minute";
}

TEST(ServerOptions, RecordsGoToTheDataFolderUnlessToldOtherwise) {
    struct Row {
        std::vector<const char*> args;
        bool enabled;
        const char* folder;
        const char* database;
    };
    const Row rows[] = {
        {{}, true, "", ""},
        {{"--data", "/srv/desk"}, true, "/srv/desk", ""},
        {{"--db", "postgresql://desk@db.local/records"}, true, "", "postgresql://desk@db.local/records"},
        {{"--db", "postgres://h/d"}, true, "", "postgres://h/d"},
        {{"--no-records"}, false, "", ""},
    };
    for (const Row& row : rows) {
        server::ServerConfig config;
        std::string error;
        ASSERT_TRUE(parse(row.args, config, error)) << error;
        EXPECT_EQ(config.records.enabled, row.enabled);
        EXPECT_EQ(config.records.dataFolder, row.folder);
        EXPECT_EQ(config.records.database, row.database);
    }
    EXPECT_FALSE(server::ServerConfig{}.records.enabled) << "servers made in tests keep nothing";
}

}  // namespace
