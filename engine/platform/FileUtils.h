#pragma once
// Finds resource files. A name is tried, in order, under: the search paths added by the program,
// $DESK_RESOURCES, <executable's directory>/resources and <executable's directory>/../share/desk/
// resources; under each root the resolution folders are tried in their order ("hd/" then "" for
// the double-size images). Absolute paths are used as they are. Every path in and out is UTF-8
// text, also on Windows, where the file system's own narrow encoding is not UTF-8 (a folder named
// 游戏 works). Main thread, except fullPathForFilename and readFile, which only read.

#include <filesystem>
#include <string>
#include <vector>

namespace engine {

class FileUtils {
public:
    static FileUtils* getInstance();

    // The file found for `filename`, or the empty string when it exists nowhere.
    std::string fullPathForFilename(const std::string& filename) const;
    bool isFileExist(const std::string& filename) const;
    // The name relative to the root it was found under ("sound/cp.wav"); `fullPath` itself when
    // it lies under no root.
    std::string resourceNameOf(const std::string& fullPath) const;
    // Roots tried before the standard ones, most recent first when `front`.
    void addSearchPath(const std::string& directory, bool front = false);
    std::vector<std::string> getSearchPaths() const;
    // The whole of the file at `path` (UTF-8); false when it cannot be read.
    bool readFile(const std::string& path, std::string& contents) const;

    // Conversions between UTF-8 text and the file system's paths.
    static std::filesystem::path pathFromUtf8(const std::string& utf8);
    static std::string utf8FromPath(const std::filesystem::path& path);

    // Sub-folders tried under every root, in order; "" is the root itself. Default {""}.
    void setSearchResolutionsOrder(const std::vector<std::string>& order);
    // The folder for the user's own files, ending in a separator: $XDG_CONFIG_HOME (or
    // ~/.config) on Linux, %APPDATA% on Windows, then a folder named after the program (its
    // executable's name). Empty when the system names no such folder. Not created here.
    std::string getWritablePath() const;
    // The folder for files the program can make again (caches), ending in a separator:
    // $XDG_CACHE_HOME (or ~/.cache) on Linux, %LOCALAPPDATA% on Windows, then a folder named after
    // the program. Empty when the system names no such folder. Not created here.
    std::string getCachePath() const;
    // Uses `directory` instead (tests point it at a temporary folder).
    void setWritablePath(const std::string& directory) { m_writablePath = directory; }
    // Changes whenever a name may resolve to another file (a search path or resolution order
    // changed), so holders of loaded files know to look them up again.
    unsigned getSearchGeneration() const { return m_generation; }

private:
    std::vector<std::string> m_extraRoots;
    std::vector<std::string> m_resolutions{""};
    std::string m_writablePath;  // set by the program; empty for the system's folder
    unsigned m_generation = 0;
};

}  // namespace engine
