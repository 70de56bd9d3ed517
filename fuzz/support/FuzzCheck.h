#pragma once
// The harnesses' assertion: a broken property names itself on stderr and aborts, which libFuzzer
// records as a crash with its input and the replay test reports as a failure.

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

inline void require(bool condition, const char* property) {
    if (!condition) {
        std::fprintf(stderr, "fuzz property broken: %s\n", property);
        std::abort();
    }
}

}  // namespace fuzzing
