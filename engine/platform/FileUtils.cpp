#include "engine/platform/FileUtils.h"

#include <cstdlib>
#include <filesystem>
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

// The folder the system keeps users' configuration in; empty when it names none.
fs::path configurationRoot() {
#ifdef _WIN32
    const char* appData = std::getenv("APPDATA");
    return appData && *appData ? fs::path(appData) : fs::path();
#else
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        return fs::path(xdg);
    }
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) / ".config" : fs::path();
#endif
}

std::string executableDirectory() {
    return executablePath().parent_path().string();
}

bool isRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

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
        roots.push_back((fs::path(exeDir) / "resources").string());
        roots.push_back((fs::path(exeDir) / ".." / "share" / "desk" / "resources").string());
    }
#ifdef DESK_SOURCE_RESOURCES
    roots.emplace_back(DESK_SOURCE_RESOURCES);
#endif
    return roots;
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
    if (filename.empty()) {
        return {};
    }
    const fs::path name(filename);
    if (name.is_absolute()) {
        return isRegularFile(name) ? filename : std::string();
    }
    for (const std::string& root : getSearchPaths()) {
        for (const std::string& resolution : m_resolutions) {
            const fs::path candidate = fs::path(root) / resolution / name;
            if (isRegularFile(candidate)) {
                return candidate.lexically_normal().string();
            }
        }
    }
    return {};
}

bool FileUtils::isFileExist(const std::string& filename) const {
    return !fullPathForFilename(filename).empty();
}

std::string FileUtils::resourceNameOf(const std::string& fullPath) const {
    const fs::path path = fs::path(fullPath).lexically_normal();
    for (const std::string& root : getSearchPaths()) {
        for (const std::string& resolution : m_resolutions) {
            const fs::path relative =
                path.lexically_relative((fs::path(root) / resolution).lexically_normal());
            if (!relative.empty() && *relative.begin() != "..") {
                return relative.generic_string();
            }
        }
    }
    return fullPath;
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
    fs::path folder;
    if (!m_writablePath.empty()) {
        folder = m_writablePath;
    } else {
        const fs::path root = configurationRoot();
        const fs::path program = executablePath().stem();
        if (root.empty() || program.empty()) {
            return {};
        }
        folder = root / program;
    }
    return (folder / "").string();
}

void FileUtils::setSearchResolutionsOrder(const std::vector<std::string>& order) {
    if (order != m_resolutions) {
        m_resolutions = order.empty() ? std::vector<std::string>{""} : order;
        ++m_generation;
    }
}

}  // namespace engine
