#pragma once
// Shared set-up for the engine tests: a fresh headless back end per test, images made on the fly.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/backend/headless/Headless.h"

namespace enginetest {

// Installs the headless back end before each test and stops the running scene after it.
class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A scene with one full-screen layer, running; both owned by the director.
    engine::Layer* runLayer();
};

// Writes a width x height PNG of one colour into a temporary directory; returns its path.
std::string makePng(const std::string& name, int width, int height, engine::Color4B color);
// A strip of glyphW x glyphH blocks, one per colour, left to right (or top to bottom).
std::string makeStrip(const std::string& name, const std::vector<engine::Color4B>& colors,
                      int glyphW, int glyphH, bool vertical = false);
// A fresh temporary directory for the current test.
std::string tempDir();
// The project's label font.
std::string fontPath();

// The number of live instances of a class, for destructor checks.
struct LifeCounter {
    static int alive;
};

}  // namespace enginetest
