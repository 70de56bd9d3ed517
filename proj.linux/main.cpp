// The client's process entry on Linux and other POSIX desktops.

#include "app/AppDelegate.h"
#include "engine/backend/sdl/InstallSdlBackend.h"
#include "engine/platform/Application.h"

int main() {
    engine::installSdlBackend();
    AppDelegate app;
    return engine::Application::getInstance()->run();
}
