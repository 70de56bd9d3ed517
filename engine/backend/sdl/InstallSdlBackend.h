#pragma once
// For the process entry: makes the SDL back end the one in use (a window comes when the
// application creates its view). Call once, before the application runs.

namespace engine {

void installSdlBackend();

}  // namespace engine
