// Any bytes as a component stream read into a component with every property kind. The
// reader may refuse with the library's errors, never otherwise; what it accepts must
// write out and read back to the same bytes.
#include "framework/rtl/class_registry.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "tests/support/sample_component.h"

#include <cstdint>
#include <cstdlib>
#include <span>

using namespace zaprelay;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (test::RegisterSampleClasses(), true);
    (void)registered;

    test::TSampleForm form(nullptr);
    try {
        TBytesStream input(std::span<const uint8_t>(data, size));
        ReadObjectStream(input, form);
    } catch (const Exception&) {
        return 0;
    }
    TMemoryStream first;
    WriteObjectStream(first, form);
    first.SetPosition(0);
    test::TSampleForm again(nullptr);
    ReadObjectStream(first, again);
    TMemoryStream second;
    WriteObjectStream(second, again);
    if (second.Bytes() != first.Bytes()) {
        std::abort();
    }
    return 0;
}
