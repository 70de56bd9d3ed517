#include "ProcessStats.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) {
        return -1;
    }
    // The command name (field 2) may hold spaces; the fields after its closing bracket are
    // state (3) ... utime (14), stime (15).
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string skip;
    for (int field = 3; field < 14; ++field) {
        fields >> skip;
    }
    long long utime = 0;
    long long stime = 0;
    fields >> utime >> stime;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double statusMegabytes(pid_t pid, const char* wanted) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (in >> key) {
        if (key == wanted) {
            long long kb = 0;
            in >> kb;
            return static_cast<double>(kb) / 1024.0;
        }
        in.ignore(1 << 16, '\n');
    }
    return -1;
}
