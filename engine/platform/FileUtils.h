#pragma once
// Finds resource files. A name is tried, in order, under: the search paths added by the program,
// $DESK_RESOURCES, <executable's directory>/resources, <executable's directory>/../share/desk/
// resources, and the source tree's resources/ (for builds run from the tree); under each root the
// resolution folders are tried in their order ("hd/" then "" for the double-size images).
// Absolute paths are used as they are. Main thread, except fullPathForFilename, which only reads.

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
    // Sub-folders tried under every root, in order; "" is the root itself. Default {""}.
    void setSearchResolutionsOrder(const std::vector<std::string>& order);
    const std::vector<std::string>& getSearchResolutionsOrder() const { return m_resolutions; }
    // The folder for the user's own files, ending in a separator: $XDG_CONFIG_HOME (or
    // ~/.config) on Linux, %APPDATA% on Windows, then a folder named after the program (its
    // executable's name). Empty when the system names no such folder. Not created here.
    std::string getWritablePath() const;
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
