#include "server/platform/DataFolder.h"

#include "server/platform/Utf8.h"

namespace server {

namespace {

constexpr const char* kProgramFolder = "desk-server";

}  // namespace

std::string defaultDataFolder() {
#ifdef _WIN32
    const std::string local = environmentVariable("LOCALAPPDATA");
    return local.empty() ? std::string() : local + "\\" + kProgramFolder;
#else
    if (const std::string data = environmentVariable("XDG_DATA_HOME"); !data.empty()) {
        return data + "/" + kProgramFolder;
    }
    const std::string home = environmentVariable("HOME");
    return home.empty() ? std::string() : home + "/.local/share/" + kProgramFolder;
#endif
}

}  // namespace server
