#pragma once
// Checks that a server text is what the client can read: it decodes with the client's own
// decoder, and every leaf value in it is a JSON string.

#include <gtest/gtest.h>

#include <string>

#include "net/Message.h"

// Decodes `text` into `out` with the client's decoder; fails unless it decodes and every leaf
// value (inside "info" elements too) is a JSON string.
testing::AssertionResult decodesForClient(const std::string& text, stMsg& out);
