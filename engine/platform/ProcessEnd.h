#pragma once
// Ending the process at once, from any thread, while other threads may be in the middle of
// anything (the main thread drawing): no destructors, no atexit handlers, and on Windows no
// library's detach code either. Any thread.
//
//   system    how                                        why
//   POSIX     std::_Exit(status)                         no handlers, no destructors
//   Windows   TerminateProcess(GetCurrentProcess(), ..)  std::_Exit ends in ExitProcess, which
//                                                        lets every DLL (SDL, Direct3D) detach
//                                                        while the other threads hold their
//                                                        state, and that crashed now and then

namespace engine {

[[noreturn]] void endProcessNow(int status);

}  // namespace engine
