// Any bytes as the text form of a component stream. The converter may refuse with the
// library's errors, never otherwise; a binary it makes must come back unchanged through
// binary -> text -> binary.
#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

using namespace zaprelay;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemoryStream first;
    try {
        TBytesStream text(std::span<const uint8_t>(data, size));
        StreamTextToBinary(text, first);
    } catch (const Exception&) {
        return 0;
    }
    TMemoryStream second;
    try {
        first.SetPosition(0);
        TMemoryStream text;
        StreamBinaryToText(first, text);
        text.SetPosition(0);
        StreamTextToBinary(text, second);
    } catch (const Exception& error) {
        std::fprintf(stderr, "round trip refused: %s\n", error.what());
        std::abort();
    }
    if (second.Bytes() != first.Bytes()) {
        std::fprintf(stderr, "round trip changed the binary\n");
        std::abort();
    }
    return 0;
}
