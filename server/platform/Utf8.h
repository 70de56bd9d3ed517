#pragma once
// UTF-8 at the server's edges to the system: paths, environment variables and the command line
// are UTF-8 text inside the server on every platform. On Windows the narrow forms of all three
// are in the system's code page, which may not hold a Chinese user or folder name, so the wide
// forms are read and converted.

#include <filesystem>
#include <string>
#include <vector>

namespace server {

std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// The variable's value, or "" when it is unset.
std::string environmentVariable(const char* name);

// The program's arguments, argv[0] included.
std::vector<std::string> commandLineArguments(int argc, char* argv[]);

}  // namespace server
