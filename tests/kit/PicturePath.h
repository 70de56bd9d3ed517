#pragma once
// Where a test writes a picture for people to look at: the build's pictures folder, which CMake
// hands every test as DESK_PICTURES_DIR. With no such folder the test fails here, and the empty
// path it gets makes the save fail too: a picture never lands in the working folder, which may be
// the source tree.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string picturePath(const std::string& name) {
    const char* dir = std::getenv("DESK_PICTURES_DIR");
    if (dir == nullptr || *dir == '\0' || !std::filesystem::is_directory(dir)) {
        ADD_FAILURE() << "no pictures folder for " << name << ": DESK_PICTURES_DIR is "
                      << (dir != nullptr ? "\"" + std::string(dir) + "\", not a folder" : "unset")
                      << " (ctest sets it to the build's pictures folder)";
        return {};
    }
    return (std::filesystem::path(dir) / name).string();
}
