#pragma once
// A program this process starts and that cannot outlive it, however this process ends: a normal
// exit stops it, and a crash or a kill takes it along, because the operating system holds the tie.
//   Linux    the child asks for SIGTERM when its parent ends (prctl PR_SET_PDEATHSIG) before it
//            runs the program; it checks getppid() right after, in case the parent was already
//            gone. The signal follows the thread that forked, so start() belongs on a thread that
//            lives as long as the process (the main thread).
//   Windows  the child is created suspended, put in a job object that kills its processes when
//            the job's last handle closes (JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE), then resumed; only
//            this process holds that handle, and the system closes it when this process ends.
//            The child gets no console window. Paths and words are UTF-8 (CreateProcessW).
// Other POSIX systems have no parent-death signal: there the tie holds for a normal exit only.
// Main thread only.

#include <string>
#include <vector>

namespace engine {

class TiedProcess {
public:
    TiedProcess() = default;
    TiedProcess(const TiedProcess&) = delete;
    TiedProcess& operator=(const TiedProcess&) = delete;
    // Stops the child if it runs.
    ~TiedProcess();

    // Starts `program` (a path) with `arguments`; its standard error is this process's (on
    // Linux). False, with the system's reason in `error`, when it could not be started; a program
    // that starts and then fails shows as running() turning false. One child per object.
    bool start(const std::string& program, const std::vector<std::string>& arguments,
               std::string& error);
    // Whether the child started and has not ended.
    bool running();
    // Asks the child to end (SIGTERM on POSIX, at once on Windows, where a program without a
    // console cannot be asked), kills it after two seconds, and reaps it. Nothing when none runs.
    void stop();

private:
#ifdef _WIN32
    void* m_job = nullptr;      // the job object holding the child
    void* m_process = nullptr;  // the child's process handle
#else
    int m_pid = -1;  // the child's process id, -1 when none
#endif
};

}  // namespace engine
