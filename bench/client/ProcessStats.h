#pragma once
// What a process costs, read from /proc the way `top` does: CPU time (user + system) and
// resident memory. Linux only.

#include <sys/types.h>

// Seconds of CPU the process has used so far; negative when it is gone.
double cpuSeconds(pid_t pid);
// A size line of /proc/<pid>/status in megabytes (MiB): "VmRSS:" (all resident memory),
// "RssFile:" (its file-backed part, mostly shared libraries); negative when it is gone.
double statusMegabytes(pid_t pid, const char* key);
