#pragma once
// The client's command line. Players start the client with no arguments; the launchers (./play,
// desk-play, play.bat, host-lan.bat) add the local server:
//   desk-client [--local-server PROGRAM [SERVER OPTION...]]
// PROGRAM is the path of desk-server; every word after it goes to that server as it is.

#include <string>
#include <vector>

struct ClientOptions {
    std::string localServer;                 // desk-server's path; empty: start none
    std::vector<std::string> serverOptions;  // passed to it after --host and --port
};

// Reads the words after the program's name. False with a message in `error` for a word the
// client does not know or a --local-server without its program.
bool parseClientOptions(const std::vector<std::string>& words, ClientOptions& options,
                        std::string& error);
