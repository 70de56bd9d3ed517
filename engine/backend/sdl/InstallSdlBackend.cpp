#include "engine/backend/sdl/InstallSdlBackend.h"

#include <memory>

#include "engine/backend/sdl/SdlBackend.h"

namespace engine {

void installSdlBackend() {
    setBackend(std::make_unique<SdlBackend>());
}

}  // namespace engine
