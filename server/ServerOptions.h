#pragma once
// The command line of desk-server.

#include <string>

#include "server/net/Server.h"

namespace server {

// Fills `config` from the arguments. False with a message in `error` for a bad argument;
// `help` is set for --help (the caller prints usageText and exits).
bool parseServerOptions(int argc, const char* const argv[], ServerConfig& config, bool& help,
                        std::string& error);

std::string usageText();

}  // namespace server
