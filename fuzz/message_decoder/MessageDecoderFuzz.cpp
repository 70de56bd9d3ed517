// libFuzzer target: any text as a server message. Decoding must never crash, and parsing in
// place must give the same status and the same record as parsing a view of the text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "net/MessageDecoder.h"

namespace {

bool sameSeats(const stMsg& a, const stMsg& b) {
    for (std::size_t k = 0; k < a.info.size(); ++k) {
        if (a.info[k].name != b.info[k].name || a.info[k].ready != b.info[k].ready ||
            a.info[k].result != b.info[k].result) {
            return false;
        }
    }
    return true;
}

bool sameRecord(const stMsg& a, const stMsg& b) {
    return a.opt == b.opt && a.online == b.online && a.name == b.name && a.desk == b.desk &&
           a.site == b.site && a.cards == b.cards && a.per == b.per && a.surplus == b.surplus &&
           a.now == b.now && a.score == b.score && a.must == b.must && a.p0 == b.p0 &&
           a.p1 == b.p1 && a.version == b.version && sameSeats(a, b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    stMsg viewed;
    const DecodeStatus viewStatus = decodeMessage(text, viewed);

    std::string buffer = text;
    stMsg inPlace;
    const DecodeStatus inPlaceStatus = decodeMessageInPlace(buffer, inPlace);

    // A NUL byte ends the in-place text early, so the two only have to agree without one.
    if (text.find('\0') == std::string::npos) {
        fuzzing::require(viewStatus == inPlaceStatus, "both parses give the same status");
        fuzzing::require(sameRecord(viewed, inPlace), "both parses give the same record");
    }
    if (viewStatus != DecodeStatus::Ok) {
        fuzzing::require(sameRecord(viewed, stMsg{}), "a refused text leaves the record alone");
    }
    versionAccepted(viewed);
    return 0;
}
