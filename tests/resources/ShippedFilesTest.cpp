// The configuration file and the font: the plist the client reads at start-up, and a font that
// renders both the Latin labels and the Chinese names and messages, shipped with its licence.

#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <filesystem>
#include <map>
#include <regex>

#include "tests/resources/ResourceFiles.h"

namespace restest {
namespace {

std::map<std::string, std::string> plistStrings() {
    std::map<std::string, std::string> out;
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(resourcePath("config/strings.plist").c_str()) != tinyxml2::XML_SUCCESS) {
        ADD_FAILURE() << doc.ErrorStr();
        return out;
    }
    const tinyxml2::XMLElement* plist = doc.FirstChildElement("plist");
    const tinyxml2::XMLElement* dict = plist ? plist->FirstChildElement("dict") : nullptr;
    if (!dict) {
        ADD_FAILURE() << "no <plist><dict>";
        return out;
    }
    for (const tinyxml2::XMLElement* key = dict->FirstChildElement("key"); key;
         key = key->NextSiblingElement("key")) {
        const tinyxml2::XMLElement* value = key->NextSiblingElement();
        if (value && std::string(value->Name()) == "string" && key->GetText()) {
            out[key->GetText()] = value->GetText() ? value->GetText() : "";
        }
    }
    return out;
}

TEST(ShippedFiles, PlistHasTitleHostAndDownloadAddress) {
    auto values = plistStrings();
    EXPECT_FALSE(values["title"].empty());
    EXPECT_TRUE(std::regex_match(values["host"], std::regex(R"(\d{1,3}(\.\d{1,3}){3})")))
        << values["host"];
    EXPECT_TRUE(values["download"].starts_with("http")) << values["download"];
}

class Font : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
        m_font = TTF_OpenFont(resourcePath("fonts/arial.ttf").c_str(), 20);
        ASSERT_NE(m_font, nullptr) << TTF_GetError();
    }
    void TearDown() override {
        if (m_font) TTF_CloseFont(m_font);
        TTF_Quit();
    }
    TTF_Font* m_font = nullptr;
};

TEST_F(Font, HasEveryLatinAndChineseGlyphTheClientShows) {
    const char32_t* const texts[] = {
        U"online: 12 Desk:3 over pass desk:0 0123456789",
        U"玩家逃跑 准备 出牌 不出 快速加入 错误 胜利 失败 平局",
    };
    for (const char32_t* text : texts) {
        for (const char32_t* c = text; *c; ++c) {
            if (*c == U' ') continue;
            EXPECT_TRUE(TTF_GlyphIsProvided32(m_font, static_cast<Uint32>(*c)))
                << "missing U+" << std::hex << static_cast<unsigned>(*c);
        }
    }
}

TEST_F(Font, RendersMixedTextToAVisibleLine) {
    for (const char* text : {"online: 12 Desk:3 over pass", "玩家逃跑"}) {
        SCOPED_TRACE(text);
        SDL_Surface* s = TTF_RenderUTF8_Blended(m_font, text, SDL_Color{255, 255, 255, 255});
        ASSERT_NE(s, nullptr) << TTF_GetError();
        EXPECT_GT(s->w, 40);
        EXPECT_GT(s->h, 15);
        SDL_FreeSurface(s);
    }
}

TEST(ShippedFiles, FontLicenceShipsBesideTheFont) {
    std::vector<unsigned char> copyright = readFile("fonts/LICENSE-WenQuanYi-MicroHei");
    std::vector<unsigned char> apache = readFile("fonts/LICENSE-Apache-2.0");
    std::string text(copyright.begin(), copyright.end());
    EXPECT_NE(text.find("Apache"), std::string::npos);
    EXPECT_GT(apache.size(), 10000u);
}

}  // namespace
}  // namespace restest
