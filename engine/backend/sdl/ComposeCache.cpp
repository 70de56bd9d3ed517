#include "engine/backend/sdl/ComposeCache.h"

#if defined(__linux__) || defined(__FreeBSD__)
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "engine/platform/FileUtils.h"
#endif

namespace engine {

void useComposeCache() {
#if defined(__linux__) || defined(__FreeBSD__)
    if (std::getenv("XCOMPOSECACHE") != nullptr) {
        return;
    }
    const std::string cache = FileUtils::getInstance()->getCachePath();
    if (cache.empty()) {
        return;
    }
    const std::filesystem::path folder = FileUtils::pathFromUtf8(cache) / "compose";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error) {
        // Not overwritten: a value set meanwhile is the user's.
        setenv("XCOMPOSECACHE", folder.c_str(), 0);
    }
#endif
}

}  // namespace engine
