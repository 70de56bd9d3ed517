#include "engine/base/UserDefault.h"

#include <tinyxml2.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

#include "engine/platform/FileUtils.h"

namespace engine {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFileName = "UserDefault.xml";
constexpr const char* kRoot = "userDefaultRoot";

UserDefault* g_instance = nullptr;

}  // namespace

UserDefault* UserDefault::getInstance() {
    if (!g_instance) {
        g_instance = new UserDefault();
    }
    return g_instance;
}

void UserDefault::destroyInstance() {
    delete g_instance;
    g_instance = nullptr;
}

UserDefault::UserDefault() {
    load();
}

std::string UserDefault::getFilePath() const {
    const std::string folder = FileUtils::getInstance()->getWritablePath();
    return folder.empty() ? std::string()
                          : FileUtils::utf8FromPath(FileUtils::pathFromUtf8(folder) / kFileName);
}

void UserDefault::load() {
    const std::string path = getFilePath();
    if (path.empty()) {
        std::fprintf(stderr, "settings: no configuration folder; using the defaults\n");
        return;
    }
    // The path is UTF-8 text: it is opened through FileUtils, as tinyxml2's LoadFile would take
    // it in the system's narrow code page on Windows (a profile folder named 张三).
    std::error_code error;
    if (!fs::exists(FileUtils::pathFromUtf8(path), error)) {
        std::fprintf(stderr, "settings: %s does not exist yet; using the defaults\n", path.c_str());
        return;
    }
    std::string text;
    if (!FileUtils::getInstance()->readFile(path, text)) {
        std::fprintf(stderr, "settings: cannot read %s; using the defaults\n", path.c_str());
        return;
    }
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        std::fprintf(stderr, "settings: cannot read %s (%s); using the defaults\n", path.c_str(),
                     document.ErrorName());
        return;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    if (!root || std::strcmp(root->Name(), kRoot) != 0) {
        std::fprintf(stderr, "settings: %s is not a settings file; using the defaults\n",
                     path.c_str());
        return;
    }
    for (const tinyxml2::XMLElement* item = root->FirstChildElement(); item;
         item = item->NextSiblingElement()) {
        const char* text = item->GetText();
        m_values[item->Name()] = text ? text : "";
    }
}

bool UserDefault::getBoolForKey(const char* key, bool defaultValue) const {
    auto found = m_values.find(key);
    if (found == m_values.end()) {
        return defaultValue;
    }
    if (found->second == "true") {
        return true;
    }
    return found->second == "false" ? false : defaultValue;
}

int UserDefault::getIntegerForKey(const char* key, int defaultValue) const {
    auto found = m_values.find(key);
    if (found == m_values.end() || found->second.empty()) {
        return defaultValue;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(found->second.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max()) {
        return defaultValue;
    }
    return static_cast<int>(value);
}

float UserDefault::getFloatForKey(const char* key, float defaultValue) const {
    auto found = m_values.find(key);
    if (found == m_values.end() || found->second.empty()) {
        return defaultValue;
    }
    char* end = nullptr;
    const float value = std::strtof(found->second.c_str(), &end);
    return *end == '\0' ? value : defaultValue;
}

std::string UserDefault::getStringForKey(const char* key, const std::string& defaultValue) const {
    auto found = m_values.find(key);
    return found == m_values.end() ? defaultValue : found->second;
}

void UserDefault::setBoolForKey(const char* key, bool value) {
    m_values[key] = value ? "true" : "false";
}

void UserDefault::setIntegerForKey(const char* key, int value) {
    m_values[key] = std::to_string(value);
}

void UserDefault::setFloatForKey(const char* key, float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    m_values[key] = text;
}

void UserDefault::setStringForKey(const char* key, const std::string& value) {
    m_values[key] = value;
}

void UserDefault::deleteValueForKey(const char* key) {
    m_values.erase(key);
}

bool UserDefault::flush() {
    const std::string path = getFilePath();
    if (path.empty()) {
        std::fprintf(stderr, "settings: no configuration folder; the settings are not kept\n");
        return false;
    }
    tinyxml2::XMLDocument document;
    document.InsertEndChild(document.NewDeclaration());
    tinyxml2::XMLElement* root = document.NewElement(kRoot);
    document.InsertEndChild(root);
    for (const auto& [key, value] : m_values) {
        tinyxml2::XMLElement* item = document.NewElement(key.c_str());
        item->SetText(value.c_str());
        root->InsertEndChild(item);
    }
    tinyxml2::XMLPrinter printer;
    document.Print(&printer);

    std::error_code error;
    const fs::path target = FileUtils::pathFromUtf8(path);
    fs::create_directories(target.parent_path(), error);
    const fs::path temporary = FileUtils::pathFromUtf8(path + ".tmp");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(printer.CStr(), printer.CStrSize() - 1);
        out.close();
        if (!out) {
            std::fprintf(stderr, "settings: cannot write %s.tmp; the settings are not kept\n",
                         path.c_str());
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        std::fprintf(stderr, "settings: cannot replace %s (%s); the settings are not kept\n",
                     path.c_str(), error.message().c_str());
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace engine
