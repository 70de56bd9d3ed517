#include "engine/platform/ProcessEnd.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

#include "engine/platform/Backend.h"

namespace engine {

// any thread
void endProcessNow(int status) {
    backend().stopDrawingForEnd(status);
    terminateProcessNow(status);
}

// any thread
void terminateProcessNow(int status) {
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
#endif
    // On Windows only when TerminateProcess was refused, which it is not for the process itself.
    std::_Exit(status);
}

}  // namespace engine
