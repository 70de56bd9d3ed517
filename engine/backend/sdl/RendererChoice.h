#pragma once
// Which kind of SDL renderer the window draws with.
//
// A hardware renderer where there is a GPU. Where there is none, SDL's "accelerated" OpenGL
// renderer is only Mesa's software rasteriser: it loads LLVM (some 60 MB resident) and draws
// slower than SDL's own software renderer, so that one is chosen instead. On Linux a machine
// without a DRM device node has no GPU; elsewhere hardware is always tried first.
//
// The environment variable DESK_RENDERER=software|hardware overrides the choice.

#include <filesystem>
#include <string>

namespace engine {

enum class RendererKind { Hardware, Software };

struct RendererChoice {
    RendererKind kind = RendererKind::Hardware;
    std::string reason;  // why, for the log line
};

// `requested` is DESK_RENDERER's value (null when unset); a value other than "software" or
// "hardware" is ignored, and the reason says so.
RendererChoice chooseRenderer(const char* requested, bool hasGpu);

// Whether `dir` holds a DRM device node (renderD* or card*); false when it does not exist.
bool hasDrmDevice(const std::filesystem::path& dir);

// Linux: a DRM device in /dev/dri. Elsewhere: true.
bool machineHasGpu();

}  // namespace engine
