// Value conversions and the plist configuration reader.
#include <fstream>

#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = enginetest::tempDir() + "/" + name;
    std::ofstream(path) << text;
    return path;
}

const char* kPlist = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
    <key>title</key><string>双扣</string>
    <key>host</key><string>10.0.0.7</string>
    <key>port</key><integer>9999</integer>
    <key>ratio</key><real>0.5</real>
    <key>sound</key><true/>
    <key>nested</key><dict><key>x</key><string>y</string></dict>
</dict>
</plist>)";

TEST(ValueTest, NullConvertsToEmptyAndZero) {
    EXPECT_TRUE(Value::Null.isNull());
    EXPECT_EQ(Value::Null.asString(), "");
    EXPECT_EQ(Value::Null.asInt(), 0);
    EXPECT_FALSE(Value::Null.asBool());
}

TEST(ValueTest, ConversionsTable) {
    struct Row {
        Value value;
        std::string text;
        int number;
    };
    const Row rows[] = {
        {Value(42), "42", 42},          {Value(std::string("17abc")), "17abc", 17},
        {Value(true), "true", 1},       {Value(2.5), "2.5000000", 2},
        {Value(1.25f), "1.2500000", 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.value.asString(), row.text);
        EXPECT_EQ(row.value.asInt(), row.number) << row.text;
    }
}

class ConfigurationTest : public HeadlessTest {};

TEST_F(ConfigurationTest, PresentKeysAreReadWithTheirKinds) {
    Configuration config;
    ASSERT_TRUE(config.loadConfigFile(writeFile("a.plist", kPlist)));
    EXPECT_EQ(config.getValue("title", Value::Null).asString(), "双扣");
    EXPECT_EQ(config.getValue("host", Value::Null).asString(), "10.0.0.7");
    EXPECT_EQ(config.getValue("port").asInt(), 9999);
    EXPECT_DOUBLE_EQ(config.getValue("ratio").asDouble(), 0.5);
    EXPECT_TRUE(config.getValue("sound").asBool());
    EXPECT_TRUE(config.getValue("nested").isNull());  // nested dicts are skipped
}

TEST_F(ConfigurationTest, MissingKeyGivesTheDefault) {
    Configuration config;
    ASSERT_TRUE(config.loadConfigFile(writeFile("a.plist", kPlist)));
    EXPECT_EQ(config.getValue("nothing", Value::Null).asString(), "");
    EXPECT_EQ(config.getValue("nothing", Value("x")).asString(), "x");
}

TEST_F(ConfigurationTest, MalformedOrMissingFilesFailWithoutChangingAnything) {
    Configuration config;
    config.setValue("host", Value("kept"));
    EXPECT_FALSE(config.loadConfigFile(writeFile("bad.plist", "<plist><dict><key>host</key>")));
    EXPECT_FALSE(config.loadConfigFile(writeFile("empty.plist", "")));
    EXPECT_FALSE(config.loadConfigFile(writeFile("nodict.plist", "<plist><array/></plist>")));
    EXPECT_FALSE(config.loadConfigFile("config/does-not-exist.plist"));
    EXPECT_EQ(config.getValue("host").asString(), "kept");
}

TEST_F(ConfigurationTest, EngineLayoutWithDataDictContributesItsEntries) {
    Configuration config;
    ASSERT_TRUE(config.loadConfigFile(writeFile("engine.plist", R"(<plist><dict>
        <key>metadata</key><dict><key>format</key><integer>1</integer></dict>
        <key>data</key><dict><key>host</key><string>1.2.3.4</string></dict>
        </dict></plist>)")));
    EXPECT_EQ(config.getValue("host").asString(), "1.2.3.4");
}

TEST_F(ConfigurationTest, TheShippedConfigurationHasTitleAndHost) {
    Configuration* config = Configuration::getInstance();
    ASSERT_TRUE(config->loadConfigFile("config/strings.plist"));
    EXPECT_FALSE(config->getValue("title", Value::Null).asString().empty());
    EXPECT_FALSE(config->getValue("host", Value::Null).asString().empty());
}

}  // namespace
