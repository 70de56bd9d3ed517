// The client's process entry on Linux and other POSIX desktops.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/AppDelegate.h"
#include "app/ClientOptions.h"
#include "engine/backend/sdl/InstallSdlBackend.h"
#include "engine/platform/Application.h"

int main(int argc, char* argv[]) {
    ClientOptions options;
    std::string error;
    if (!parseClientOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "desk-client: %s\n", error.c_str());
        return 2;
    }
    engine::installSdlBackend();
    AppDelegate app(std::move(options));
    return engine::Application::getInstance()->run();
}
