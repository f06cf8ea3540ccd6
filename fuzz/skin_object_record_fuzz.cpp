// Any bytes as a skin object record, binary or text by the first byte. The reader may refuse
// with the library's errors, never otherwise; a tree it accepts must write out as a binary
// record and read back to the same bytes.
#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"
#include "skin/objects/skin_object_io.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

using namespace zaprelay;
using namespace zaprelay::skin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (RegisterSkinObjectClass(TVxSkinObject::StaticClassInfo()), true);
    (void)registered;
    if (size == 0) {
        return 0;
    }
    std::unique_ptr<TVxSkinObject> tree;
    try {
        TBytesStream input(std::span<const uint8_t>(data + 1, size - 1));
        tree.reset((data[0] & 1) != 0 ? ReadSkinObjectBinary(input, nullptr) : ReadSkinObject(input, nullptr));
    } catch (const Exception&) {
        return 0;
    }
    if (!tree) {
        return 0;
    }
    TMemoryStream first;
    WriteSkinObjectBinary(first, *tree);
    first.SetPosition(0);
    std::unique_ptr<TVxSkinObject> again(ReadSkinObjectBinary(first, nullptr));
    if (!again) {
        std::abort();
    }
    TMemoryStream second;
    WriteSkinObjectBinary(second, *again);
    if (second.Bytes() != first.Bytes()) {
        std::abort();
    }
    return 0;
}
