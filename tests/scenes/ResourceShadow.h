#pragma once
// Makes resource files unreadable for a while: unreadable copies of the named files go into a
// fresh directory searched before every other resource root, until lift() or the destructor.
// Loaded images are forgotten at both ends, so that the next use of a name loads it again.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/platform/FileUtils.h"
#include "engine/scene/Director.h"
#include "engine/scene/TextureCache.h"
#include "tests/support/TestSystem.h"

class ResourceShadow {
public:
    explicit ResourceShadow(std::vector<std::string> names) : m_names(std::move(names)) {
        m_directory = testsys::makeTempDir("desk-shadow");
        for (const std::string& name : m_names) {
            std::ofstream(engine::FileUtils::pathFromUtf8(m_directory) / name) << "not an image";
        }
        engine::FileUtils::getInstance()->addSearchPath(m_directory, true);
        forgetLoadedImages();
    }
    ResourceShadow(const ResourceShadow&) = delete;
    ResourceShadow& operator=(const ResourceShadow&) = delete;
    ~ResourceShadow() { lift(); }

    // The real files are found again.
    void lift() {
        std::error_code ignored;
        std::filesystem::remove_all(engine::FileUtils::pathFromUtf8(m_directory), ignored);
        forgetLoadedImages();
    }

private:
    static void forgetLoadedImages() {
        engine::Director::getInstance()->getTextureCache()->removeAllTextures();
    }

    std::vector<std::string> m_names;
    std::string m_directory;
};
