#pragma once
// Command lines in the form Windows passes them to a new process: one string that the child's C
// runtime (CommandLineToArgvW's rules) splits back into the words. Plain text work, the same on
// every system, so its rules are tested everywhere; ChildProcess uses it on Windows.

#include <string>
#include <vector>

namespace engine {

// Every word in double quotes, a quote inside as \", and backslashes doubled only where they
// come before a quote (the inner one or the closing one); other backslashes stay single, so
// paths such as C:\游戏\desk-server.exe pass unchanged. UTF-8 in, UTF-8 out.
std::string quoteCommandLine(const std::vector<std::string>& words);

}  // namespace engine
