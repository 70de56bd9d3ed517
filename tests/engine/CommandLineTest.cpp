// How a command line for a Windows child is built: each row is what the child's C runtime must
// split back into exactly these words (the rules of CommandLineToArgvW).

#include <gtest/gtest.h>

#include "engine/platform/CommandLine.h"

namespace {

struct QuoteCase {
    const char* what;
    std::vector<std::string> words;
    std::string line;
};

TEST(CommandLine, QuotesEachWordSoTheChildSplitsItBackUnchanged) {
    const QuoteCase cases[] = {
        {"plain words", {"desk-server.exe", "--port", "9999"},
         R"("desk-server.exe" "--port" "9999")"},
        {"a path with spaces and Chinese", {"C:\\Program Files\\游戏\\desk-server.exe"},
         R"("C:\Program Files\游戏\desk-server.exe")"},
        {"an empty word keeps its place", {"a", "", "b"}, R"("a" "" "b")"},
        {"a quote inside", {R"(say "hi")"}, R"("say \"hi\"")"},
        {"backslashes before an inner quote are doubled", {R"(a\\"b)"}, R"("a\\\\\"b")"},
        {"a trailing backslash is doubled before the closing quote", {"C:\\games\\"},
         R"("C:\games\\")"},
        {"backslashes not before a quote stay single", {R"(\\server\share)"},
         R"("\\server\share")"},
        {"no words", {}, ""},
    };
    for (const QuoteCase& c : cases) {
        EXPECT_EQ(engine::quoteCommandLine(c.words), c.line) << c.what;
    }
}

}  // namespace
