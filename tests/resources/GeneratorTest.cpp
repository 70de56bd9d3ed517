// The committed resources are exactly what the generator writes now: running desk-resgen into an
// empty folder reproduces every file byte for byte (so the generator is deterministic, and nobody
// changed it without regenerating), and writes nothing that is not committed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "tests/resources/ResourceFiles.h"

namespace restest {
namespace {

namespace fs = std::filesystem;

std::set<std::string> filesUnder(const fs::path& root) {
    std::set<std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) out.insert(fs::relative(entry.path(), root).string());
    }
    return out;
}

TEST(Generator, RegeneratesTheCommittedResourcesByteForByte) {
    fs::path out = fs::temp_directory_path() / ("desk-resgen-test-" + std::to_string(::getpid()));
    fs::remove_all(out);
    std::string command =
        std::string("\"") + DESK_RESGEN + "\" \"" + out.string() + "\" >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    std::set<std::string> committed = filesUnder(resourcePath(""));
    committed.erase("README.md");
    std::set<std::string> generated = filesUnder(out);
    EXPECT_EQ(generated, committed);
    for (const std::string& name : generated) {
        if (!committed.count(name)) continue;
        SCOPED_TRACE(name);
        std::vector<unsigned char> fresh = readFileAt((out / name).string());
        EXPECT_TRUE(fresh == readFile(name)) << "differs from the committed file: regenerate";
    }
    fs::remove_all(out);
}

}  // namespace
}  // namespace restest
