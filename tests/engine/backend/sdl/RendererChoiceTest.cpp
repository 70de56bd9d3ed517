// The SDL back end's choice of renderer: hardware with a GPU, software without, DESK_RENDERER
// overriding either way.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/backend/sdl/RendererChoice.h"

namespace {

using engine::chooseRenderer;
using engine::hasDrmDevice;
using engine::RendererKind;

TEST(RendererChoice, HardwareWithAGpuSoftwareWithout) {
    EXPECT_EQ(chooseRenderer(nullptr, true).kind, RendererKind::Hardware);
    const auto without = chooseRenderer(nullptr, false);
    EXPECT_EQ(without.kind, RendererKind::Software);
    EXPECT_EQ(without.reason, "no GPU: no DRM device");
    EXPECT_EQ(chooseRenderer("", false).kind, RendererKind::Software);
}

TEST(RendererChoice, TheEnvironmentOverridesEitherWay) {
    const auto software = chooseRenderer("software", true);
    EXPECT_EQ(software.kind, RendererKind::Software);
    EXPECT_EQ(software.reason, "DESK_RENDERER=software");
    EXPECT_EQ(chooseRenderer("hardware", false).kind, RendererKind::Hardware);
}

TEST(RendererChoice, AnUnknownOverrideIsIgnoredAndSaidSo) {
    const auto choice = chooseRenderer("opengl", false);
    EXPECT_EQ(choice.kind, RendererKind::Software);
    EXPECT_NE(choice.reason.find("DESK_RENDERER=opengl is neither"), std::string::npos)
        << choice.reason;
    EXPECT_EQ(chooseRenderer("Software", true).kind, RendererKind::Hardware);
}

class DrmDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir =
            std::filesystem::path(testing::TempDir()) /
            ("dri-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir / "by-path");
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    void touch(const std::string& name) { std::ofstream(m_dir / name).put('\n'); }

    std::filesystem::path m_dir;
};

TEST_F(DrmDirectory, ARenderNodeOrACardIsAGpu) {
    EXPECT_FALSE(hasDrmDevice(m_dir));  // only the by-path folder
    touch("renderD128");
    EXPECT_TRUE(hasDrmDevice(m_dir));
}

TEST_F(DrmDirectory, ACardAloneIsAGpu) {
    touch("card0");
    EXPECT_TRUE(hasDrmDevice(m_dir));
}

TEST_F(DrmDirectory, NoDirectoryIsNoGpu) {
    EXPECT_FALSE(hasDrmDevice(m_dir / "missing"));
}

}  // namespace
