#include "app/ClientOptions.h"

bool parseClientOptions(const std::vector<std::string>& words, ClientOptions& options,
                        std::string& error) {
    options = ClientOptions{};
    if (words.empty()) {
        return true;
    }
    if (words[0] != "--local-server") {
        error = "unknown option " + words[0] + " (usage: desk-client [--local-server PROGRAM "
                "[SERVER OPTION...]])";
        return false;
    }
    if (words.size() < 2 || words[1].empty()) {
        error = "--local-server needs the path of desk-server";
        return false;
    }
    options.localServer = words[1];
    options.serverOptions.assign(words.begin() + 2, words.end());
    return true;
}
