#pragma once
// Ending the process at once, from any thread, while other threads may be in the middle of
// anything: no destructors, no atexit handlers, and on Windows no library's detach code either.
//
//   function             who draws when it ends                  how it ends
//   endProcessNow        nobody: the back end's main thread      the back end's main thread, or
//                        lets go of its renderer first            this one after a few seconds
//   terminateProcessNow  whoever was drawing                      this thread, at once
//
//   system    how                                        why
//   POSIX     std::_Exit(status)                         no handlers, no destructors
//   Windows   TerminateProcess(GetCurrentProcess(), ..)  std::_Exit ends in ExitProcess, which
//                                                        lets every DLL (SDL, Direct3D) detach
//                                                        while the other threads hold their
//                                                        state, and that crashed now and then
//
// Why the renderer goes first: Direct3D under Wine draws a frame on a thread of its own after the
// main thread has handed it over, and that thread waits inside the OpenGL driver. A process that
// ended while it waited there crashed in Wine's teardown of the thread (glibc's condition
// variable cleanup) in about one run of forty; destroying the renderer first ends that thread.

namespace engine {

// Any thread; the back end must be installed.
[[noreturn]] void endProcessNow(int status);
// Any thread.
[[noreturn]] void terminateProcessNow(int status);

}  // namespace engine
