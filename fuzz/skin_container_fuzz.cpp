// Any bytes as a skin container; the first byte picks the filter (Uncompressed, Compressed,
// UltraCompressed, MaxCompression). The loader may refuse with the library's errors, never
// otherwise; a skin it accepts must save with the same filter and load back to a skin that
// saves to the same bytes.
#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_filters.h"
#include "skin/store/skin_source.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

using namespace zaprelay;
using namespace zaprelay::skin;

namespace {

std::vector<uint8_t> Save(TVxSkinSource& source, const TVxSkinFilterClass& filterClass) {
    TMemoryStream out;
    std::unique_ptr<TVxSkinFilter> filter = filterClass.Create();
    filter->SetSource(&source);
    filter->SaveSkin(out);
    return out.Bytes();
}

void Load(TVxSkinSource& source, const TVxSkinFilterClass& filterClass, std::span<const uint8_t> bytes) {
    TBytesStream in(bytes);
    std::unique_ptr<TVxSkinFilter> filter = filterClass.Create();
    filter->SetSource(&source);
    filter->LoadSkin(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (RegisterSkinClasses(), true);
    (void)registered;
    if (size == 0) {
        return 0;
    }
    const TVxSkinFilterClass* const filters[] = {&TVxSkinFilterUncompressed::Class(), &TVxSkinFilterCompressed::Class(),
                                                 &TVxSkinFilterUltraCompressed::Class(),
                                                 &TVxSkinFilterMaxCompression::Class()};
    const TVxSkinFilterClass& filter = *filters[data[0] % 4];
    TVxSkinSource source(nullptr);
    try {
        Load(source, filter, std::span<const uint8_t>(data + 1, size - 1));
    } catch (const Exception&) {
        return 0;
    }
    source.AfterLoad();
    const std::vector<uint8_t> first = Save(source, filter);
    TVxSkinSource again(nullptr);
    Load(again, filter, first);
    if (Save(again, filter) != first) {
        std::abort();
    }
    // Hue shifts may move pixels next to the key colour, so they come after the comparison.
    source.ChangeDeltaHue(37);
    source.ChangeDeltaHue(-300);
    return 0;
}
