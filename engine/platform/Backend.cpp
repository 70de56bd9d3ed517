#include "engine/platform/Backend.h"

#include <cstdio>
#include <cstdlib>

namespace engine {

namespace {
// Never destroyed: textures and nodes may still reach the back end while the process exits.
std::unique_ptr<Backend>* g_backend = new std::unique_ptr<Backend>();
}  // namespace

Backend& backend() {
    if (!*g_backend) {
        std::fprintf(stderr, "engine: no back end installed (setBackend first)\n");
        std::abort();
    }
    return **g_backend;
}

void setBackend(std::unique_ptr<Backend> backend) {
    *g_backend = std::move(backend);
}

}  // namespace engine
