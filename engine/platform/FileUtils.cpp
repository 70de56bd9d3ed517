#include "engine/platform/FileUtils.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace engine {

namespace fs = std::filesystem;

namespace {

fs::path executablePath() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return fs::path(buffer);
#else
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : exe;
#endif
}

// A folder the system names for the user's files: on Windows the wide variable `windowsVariable`
// (the narrow one is in the system's code page, which may not hold the user's name), elsewhere
// `xdgVariable` when absolute, else `homeFallback` under $HOME. Empty when it names none.
fs::path userRoot([[maybe_unused]] const wchar_t* windowsVariable,
                  [[maybe_unused]] const char* xdgVariable,
                  [[maybe_unused]] const char* homeFallback) {
#ifdef _WIN32
    const wchar_t* folder = _wgetenv(windowsVariable);
    return folder && *folder ? fs::path(folder) : fs::path();
#else
    if (const char* xdg = std::getenv(xdgVariable); xdg && *xdg == '/') {
        return fs::path(xdg);
    }
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) / homeFallback : fs::path();
#endif
}

// `root` followed by a folder named after the program, ending in a separator; empty when either
// is unknown.
std::string programFolderUnder(const fs::path& root) {
    const fs::path program = executablePath().stem();
    if (root.empty() || program.empty()) {
        return {};
    }
    return FileUtils::utf8FromPath(root / program / "");
}

std::string executableDirectory() {
    return FileUtils::utf8FromPath(executablePath().parent_path());
}

bool isRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

fs::path FileUtils::pathFromUtf8(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string FileUtils::utf8FromPath(const fs::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

FileUtils* FileUtils::getInstance() {
    static FileUtils* instance = new FileUtils();
    return instance;
}

std::vector<std::string> FileUtils::getSearchPaths() const {
    std::vector<std::string> roots = m_extraRoots;
    if (const char* env = std::getenv("DESK_RESOURCES"); env && *env) {
        roots.emplace_back(env);
    }
    const std::string exeDir = executableDirectory();
    if (!exeDir.empty()) {
        roots.push_back(utf8FromPath(pathFromUtf8(exeDir) / "resources"));
        roots.push_back(utf8FromPath(pathFromUtf8(exeDir) / ".." / "share" / "desk" / "resources"));
    }
    return roots;
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
    if (filename.empty()) {
        return {};
    }
    const fs::path name = pathFromUtf8(filename);
    if (name.is_absolute()) {
        return isRegularFile(name) ? filename : std::string();
    }
    for (const std::string& root : getSearchPaths()) {
        for (const std::string& resolution : m_resolutions) {
            const fs::path candidate = pathFromUtf8(root) / pathFromUtf8(resolution) / name;
            if (isRegularFile(candidate)) {
                return utf8FromPath(candidate.lexically_normal());
            }
        }
    }
    return {};
}

bool FileUtils::isFileExist(const std::string& filename) const {
    return !fullPathForFilename(filename).empty();
}

std::string FileUtils::resourceNameOf(const std::string& fullPath) const {
    const fs::path path = pathFromUtf8(fullPath).lexically_normal();
    for (const std::string& root : getSearchPaths()) {
        for (const std::string& resolution : m_resolutions) {
            const fs::path relative = path.lexically_relative(
                (pathFromUtf8(root) / pathFromUtf8(resolution)).lexically_normal());
            if (!relative.empty() && *relative.begin() != "..") {
                const std::u8string name = relative.generic_u8string();
                return std::string(name.begin(), name.end());
            }
        }
    }
    return fullPath;
}

bool FileUtils::readFile(const std::string& path, std::string& contents) const {
    // A folder opens as a stream whose first read throws.
    if (!isRegularFile(pathFromUtf8(path))) {
        return false;
    }
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) {
        return false;
    }
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void FileUtils::addSearchPath(const std::string& directory, bool front) {
    if (front) {
        m_extraRoots.insert(m_extraRoots.begin(), directory);
    } else {
        m_extraRoots.push_back(directory);
    }
    ++m_generation;
}

std::string FileUtils::getWritablePath() const {
    if (!m_writablePath.empty()) {
        return utf8FromPath(pathFromUtf8(m_writablePath) / "");
    }
    return programFolderUnder(userRoot(L"APPDATA", "XDG_CONFIG_HOME", ".config"));
}

std::string FileUtils::getCachePath() const {
    return programFolderUnder(userRoot(L"LOCALAPPDATA", "XDG_CACHE_HOME", ".cache"));
}

void FileUtils::setSearchResolutionsOrder(const std::vector<std::string>& order) {
    if (order != m_resolutions) {
        m_resolutions = order.empty() ? std::vector<std::string>{""} : order;
        ++m_generation;
    }
}

}  // namespace engine
