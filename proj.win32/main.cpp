// The client's process entry on Windows: the same start-up as on Linux, from WinMain.

#include <windows.h>

#include "app/AppDelegate.h"
#include "engine/backend/sdl/InstallSdlBackend.h"
#include "engine/platform/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    engine::installSdlBackend();
    AppDelegate app;
    return engine::Application::getInstance()->run();
}
