#include "server/platform/DataFolder.h"

#include <cstdlib>

namespace server {

namespace {

constexpr const char* kProgramFolder = "desk-server";

// The variable's value, or "" when it is unset or empty.
std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string defaultDataFolder() {
#ifdef _WIN32
    const std::string local = variable("LOCALAPPDATA");
    return local.empty() ? std::string() : local + "\\" + kProgramFolder;
#else
    if (const std::string data = variable("XDG_DATA_HOME"); !data.empty()) {
        return data + "/" + kProgramFolder;
    }
    const std::string home = variable("HOME");
    return home.empty() ? std::string() : home + "/.local/share/" + kProgramFolder;
#endif
}

}  // namespace server
