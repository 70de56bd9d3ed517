// The client's process entry on Windows: the same start-up as on Linux, from WinMain. The
// command line is read in UTF-16 (the narrow one loses what the system's code page cannot hold,
// such as a folder named 游戏) and handed on as UTF-8.

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/AppDelegate.h"
#include "app/ClientOptions.h"
#include "engine/backend/sdl/InstallSdlBackend.h"
#include "engine/platform/Application.h"
#include "engine/platform/FileUtils.h"

namespace {

std::vector<std::string> commandLineWords() {
    std::vector<std::string> words;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        return words;
    }
    for (int i = 1; i < count; ++i) {
        words.push_back(engine::FileUtils::utf8FromPath(std::filesystem::path(wide[i])));
    }
    LocalFree(wide);
    return words;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ClientOptions options;
    std::string error;
    if (!parseClientOptions(commandLineWords(), options, error)) {
        std::fprintf(stderr, "desk-client: %s\n", error.c_str());
        return 2;
    }
    engine::installSdlBackend();
    AppDelegate app(std::move(options));
    return engine::Application::getInstance()->run();
}
