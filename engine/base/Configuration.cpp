#include "engine/base/Configuration.h"

#include <tinyxml2.h>

#include <cstdio>

#include "engine/platform/FileUtils.h"

namespace engine {

namespace {

// Reads the value element `element` into `out`; false for kinds we do not keep (dict, array).
bool readScalar(const tinyxml2::XMLElement* element, Value& out) {
    const std::string kind = element->Name();
    const char* text = element->GetText();
    const std::string content = text ? text : "";
    if (kind == "string") {
        out = Value(content);
    } else if (kind == "integer") {
        out = Value(element->IntText(0));
    } else if (kind == "real") {
        out = Value(element->DoubleText(0.0));
    } else if (kind == "true") {
        out = Value(true);
    } else if (kind == "false") {
        out = Value(false);
    } else {
        return false;
    }
    return true;
}

// Collects the scalar entries of a <dict>: <key> elements each followed by their value element.
void readDict(const tinyxml2::XMLElement* dict, std::map<std::string, Value>& out,
              const tinyxml2::XMLElement** dataDict) {
    for (const tinyxml2::XMLElement* key = dict->FirstChildElement("key"); key;
         key = key->NextSiblingElement("key")) {
        const tinyxml2::XMLElement* value = key->NextSiblingElement();
        if (!value || std::string(value->Name()) == "key") {
            continue;
        }
        const std::string name = key->GetText() ? key->GetText() : "";
        Value scalar;
        if (readScalar(value, scalar)) {
            out[name] = scalar;
        } else if (dataDict && name == "data" && std::string(value->Name()) == "dict") {
            *dataDict = value;
        }
    }
}

}  // namespace

Configuration* Configuration::getInstance() {
    static Configuration* instance = new Configuration();
    return instance;
}

bool Configuration::loadConfigFile(const std::string& filename) {
    const std::string path = FileUtils::getInstance()->fullPathForFilename(filename);
    if (path.empty()) {
        std::fprintf(stderr, "engine: configuration file %s not found\n", filename.c_str());
        return false;
    }
    // Read through FileUtils rather than tinyxml2's fopen, which takes no UTF-8 path on Windows.
    std::string text;
    if (!FileUtils::getInstance()->readFile(path, text)) {
        std::fprintf(stderr, "engine: configuration file %s cannot be read\n", path.c_str());
        return false;
    }
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        std::fprintf(stderr, "engine: configuration file %s is not valid XML\n", path.c_str());
        return false;
    }
    const tinyxml2::XMLElement* root = document.FirstChildElement("plist");
    const tinyxml2::XMLElement* dict = root ? root->FirstChildElement("dict") : nullptr;
    if (!dict) {
        std::fprintf(stderr, "engine: configuration file %s holds no plist dict\n", path.c_str());
        return false;
    }
    std::map<std::string, Value> read;
    const tinyxml2::XMLElement* data = nullptr;
    readDict(dict, read, &data);
    if (data) {
        readDict(data, read, nullptr);
    }
    for (auto& [key, value] : read) {
        m_values[key] = value;
    }
    return true;
}

Value Configuration::getValue(const std::string& key, const Value& defaultValue) const {
    auto found = m_values.find(key);
    return found == m_values.end() ? defaultValue : found->second;
}

void Configuration::setValue(const std::string& key, const Value& value) {
    m_values[key] = value;
}

}  // namespace engine
