#pragma once
// The process-wide configuration: key/value pairs read from plist files.
//
// Accepted file: <plist><dict><key>K</key><string>V</string>...</dict></plist>, values being
// <string>, <integer>, <real>, <true/> or <false/>. A file in the engine's own layout (a "data"
// dict beside a "metadata" dict) contributes the entries of "data". Nested dicts and arrays are
// skipped. Main thread only.

#include <map>
#include <string>

#include "engine/base/Value.h"

namespace engine {

class Configuration {
public:
    static Configuration* getInstance();

    // Reads a resource (resolved by FileUtils) or an absolute path and adds its keys, replacing
    // existing ones. False, with nothing changed and a line on stderr, when the file is missing
    // or not a plist dict.
    bool loadConfigFile(const std::string& filename);

    // The value of `key`, or `defaultValue` when the key is unknown.
    Value getValue(const std::string& key, const Value& defaultValue = Value::Null) const;
    void setValue(const std::string& key, const Value& value);

private:
    std::map<std::string, Value> m_values;
};

}  // namespace engine
