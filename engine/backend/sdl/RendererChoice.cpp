#include "engine/backend/sdl/RendererChoice.h"

#include <string_view>
#include <system_error>

namespace engine {

RendererChoice chooseRenderer(const char* requested, bool hasGpu) {
    const std::string_view asked = requested ? requested : "";
    if (asked == "software") {
        return {RendererKind::Software, "DESK_RENDERER=software"};
    }
    if (asked == "hardware") {
        return {RendererKind::Hardware, "DESK_RENDERER=hardware"};
    }
    std::string reason = hasGpu ? "a GPU is present" : "no GPU: no DRM device";
    if (!asked.empty()) {
        reason += "; DESK_RENDERER=" + std::string(asked) + " is neither software nor hardware";
    }
    return {hasGpu ? RendererKind::Hardware : RendererKind::Software, reason};
}

bool hasDrmDevice(const std::filesystem::path& dir) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("renderD") || name.starts_with("card")) {
            return true;
        }
    }
    return false;
}

bool machineHasGpu() {
#ifdef __linux__
    return hasDrmDevice("/dev/dri");
#else
    return true;
#endif
}

}  // namespace engine
