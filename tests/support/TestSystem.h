#pragma once
// The few operating-system services tests use, the same on POSIX and Windows: environment
// variables, fresh temporary folders, and a child process stopped by the test.
// Paths are UTF-8 text.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace testsys {

void setEnv(const std::string& name, const std::string& value);
void unsetEnv(const std::string& name);
// A new, empty folder in the system's temporary folder, named `prefix` and a random part.
std::string makeTempDir(const std::string& prefix);

class ChildProcess {
public:
    // Starts `executable` with `arguments`, appending its standard error to `errorLog` and
    // discarding its output. running() says whether it started.
    ChildProcess(const std::string& executable, const std::vector<std::string>& arguments,
                 const std::string& errorLog);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    bool running() const;
    // Asks it to end (SIGTERM), and kills it when it has not within `patience`; on Windows,
    // where a console program cannot be asked from outside its console, it is ended at once.
    void stop(std::chrono::milliseconds patience = std::chrono::seconds(5));
    // Ends it at once, with no chance to clean up (SIGKILL), as a crash would.
    void kill();

private:
    struct Handle;  // the platform's process handle
    std::unique_ptr<Handle> m_handle;
};

}  // namespace testsys
