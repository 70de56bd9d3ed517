#pragma once
// The player's settings, kept between runs: typed values by key, held in memory and written by
// flush() to "UserDefault.xml" in FileUtils::getWritablePath() (the user's configuration folder,
// in a folder named after the program).
//
//   file                         at first use                      flush()
//   missing                      defaults, one line on stderr      writes it (folders made)
//   unreadable or not our XML    defaults, one line on stderr      replaces it
//   folder not writable          -                                 false, one line on stderr
//
// The file is written whole to a temporary file beside it and renamed over it, so a crash or a
// full disk leaves the old file or the new one, never half of one. A stored value that does not
// read as the type asked for gives the default. Keys are XML names (letters, digits, '_').
// Main thread only.

#include <map>
#include <string>

namespace engine {

class UserDefault {
public:
    static UserDefault* getInstance();
    // Forgets the values in memory; the next getInstance reads the file again (tests point
    // FileUtils::setWritablePath at a temporary folder first).
    static void destroyInstance();

    // ---- Reading: the default when the key is absent or its value is not of the type
    bool getBoolForKey(const char* key, bool defaultValue = false) const;
    int getIntegerForKey(const char* key, int defaultValue = 0) const;
    float getFloatForKey(const char* key, float defaultValue = 0.0f) const;
    std::string getStringForKey(const char* key, const std::string& defaultValue = "") const;

    // ---- Writing: in memory until flush
    void setBoolForKey(const char* key, bool value);
    void setIntegerForKey(const char* key, int value);
    void setFloatForKey(const char* key, float value);
    void setStringForKey(const char* key, const std::string& value);
    void deleteValueForKey(const char* key);

    // Writes every value to the file atomically; false (with one line on stderr) when it cannot.
    bool flush();
    // The file's full path; empty when the system gives no configuration folder.
    std::string getFilePath() const;

private:
    UserDefault();
    void load();

    std::map<std::string, std::string> m_values;
};

}  // namespace engine
