// The layout build step end to end: the probe layout, converted at build time and embedded as
// a resource, must be the stream the library makes from its source and read back as its text.
#include "framework/win32/layout_resource.h"

#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay::test {
namespace {

using win32::EResNotFound;
using win32::LoadLayoutResource;

// The source as the text writer lays it out: CR LF line ends, whatever the checkout did.
std::string ProbeSourceWithCrlf() {
    TMemoryStream file;
    file.LoadFromFile(ZR_LAYOUT_PROBE_SOURCE);
    std::string text;
    for (uint8_t byte : file.Bytes()) {
        if (byte == '\n') {
            text += '\r';
        }
        if (byte != '\r') {
            text += static_cast<char>(byte);
        }
    }
    return text;
}

TEST(LayoutResource, EmbeddedProbeIsItsSourceConvertedAndReadsBackAsThatText) {
    const std::vector<uint8_t> embedded = LoadLayoutResource(nullptr, "TLayoutProbe");
    ASSERT_GE(embedded.size(), 4u);
    EXPECT_EQ(std::string(embedded.begin(), embedded.begin() + 4), "TPF0");

    const std::string source = ProbeSourceWithCrlf();
    EXPECT_EQ(embedded, TextToBinary(source));

    TBytesStream binary(embedded);
    TMemoryStream text;
    StreamBinaryToText(binary, text);
    EXPECT_EQ(std::string(text.Bytes().begin(), text.Bytes().end()), source)
        << "the probe source must stay in the text writer's own layout";
}

TEST(LayoutResource, NamesMatchWhateverTheCaseAndMissingOnesRaise) {
    const std::vector<uint8_t> embedded = LoadLayoutResource(GetModuleHandleW(nullptr), "TLAYOUTPROBE");
    EXPECT_EQ(LoadLayoutResource(nullptr, "tlayoutprobe"), embedded);

    for (const std::string name : {"TNoSuchForm", "", "#1", "TLayoutProbe.layout"}) {
        try {
            LoadLayoutResource(nullptr, name);
            ADD_FAILURE() << "found '" << name << "'";
        } catch (const EResNotFound& error) {
            EXPECT_EQ(error.Message(), "Resource " + name + " not found");
        }
    }
}

}  // namespace
}  // namespace zaprelay::test
