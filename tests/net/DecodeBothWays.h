#pragma once
// The decoder's table tests: one case decoded from a copy and in place, each described on one
// line by the test's own `describe` and compared with what the case expects.

#include <gtest/gtest.h>

#include <string>

#include "net/MessageDecoder.h"

// Checks that `text` decodes both ways to a record that `describe` writes as `expected`.
template <typename Describe>
void expectDecodedBothWays(const char* what, const std::string& text,
                           const std::string& expected, Describe describe) {
    stMsg copied;
    ASSERT_EQ(decodeMessage(text, copied), DecodeStatus::Ok) << what;
    EXPECT_EQ(describe(copied), expected) << what;
    std::string buffer = text;
    stMsg inPlace;
    ASSERT_EQ(decodeMessageInPlace(buffer, inPlace), DecodeStatus::Ok) << what;
    EXPECT_EQ(describe(inPlace), expected) << what << " (in place)";
}
