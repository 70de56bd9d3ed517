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

std::string executableDirectory() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return fs::path(buffer).parent_path().string();
#else
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
#endif
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

void FileUtils::setSearchResolutionsOrder(const std::vector<std::string>& order) {
    if (order != m_resolutions) {
        m_resolutions = order.empty() ? std::vector<std::string>{""} : order;
        ++m_generation;
    }
}

}  // namespace engine
