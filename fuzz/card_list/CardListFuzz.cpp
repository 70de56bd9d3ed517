// libFuzzer target: any text as a card list from the server. Parsing must never crash, must give
// no more codes than there are non-empty pieces, and must read its own formatting back exactly.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cards/CardCode.h"
#include "fuzz/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<int> codes = parseCardList(text);

    const std::size_t pieces = static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1;
    fuzzing::require(codes.size() <= pieces, "no more codes than pieces");
    if (text.find_first_not_of(',') == std::string_view::npos) {
        fuzzing::require(codes.empty(), "only commas give no codes");
    }

    std::string formatted;
    formatCardList(codes, formatted);
    fuzzing::require(parseCardList(formatted) == codes, "a formatted list reads back the same");
    fuzzing::require(static_cast<std::size_t>(std::count(formatted.begin(), formatted.end(), ',')) ==
                         codes.size(),
                     "one comma after every code");
    return 0;
}
