#include "tests/unit/store/store_samples.h"

#include "framework/rtl/streams.h"
#include "skin/objects/skin_object_io.h"
#include "tests/support/skin_tree.h"

#include <stdexcept>
#include <zlib.h>

namespace zaprelay::skin::test {

std::vector<TPixel> SampleFramePixels() {
    return {
        0xFFFF00FF, 0xFFFA04FC, 0xFFF900FF, 0x80102030,  // magenta, near it, just too far, translucent
        0xFF000000, 0xFFFFFFFF, 0x00123456, 0xFF7F007F,  // black, white, clear, the key colour opaque
        0xFF804020, 0xFF00FF00, 0xFF0000FF, 0xFFFF0000,
    };
}

void FillSampleSkin(TVxSkinSource& source) {
    source.SetSkinName("Sample");
    source.SetSkinVersion("1.2");
    source.SetAuthor("Tester");
    source.SetAuthorEMail("t@example.org");
    source.SetAuthorURL("example.org");

    auto frame = std::make_unique<TVxBitmap>();
    frame->SetName("FRAME.BMP");
    frame->SetSize(4, 3);
    const std::vector<TPixel> pixels = SampleFramePixels();
    std::copy(pixels.begin(), pixels.end(), frame->Bits());
    source.Bitmaps().Add(std::move(frame));
    auto glyph = std::make_unique<TVxBitmap>();
    glyph->SetName("Glyph.bmp");
    glyph->SetSize(2, 2);
    glyph->Fill(0xFF336699);
    source.Bitmaps().Add(std::move(glyph));

    OwnedSkinObject form = TreeFromText(
        "object Form: TVxSkinObject\n"
        "  Kind = skForm\n"
        "  Width = 100\n"
        "  Height = 50\n"
        "  object Client: TVxSkinObject\n"
        "    Kind = skClient\n"
        "    Align = saClient\n"
        "  end\n"
        "  object Pic: TVxBitmapObject\n"
        "    Width = 4\n"
        "    Height = 3\n"
        "    Bitmap.Name = 'FRAME.BMP'\n"
        "    Bitmap.Right = 4\n"
        "    Bitmap.Bottom = 3\n"
        "  end\n"
        "end\n");
    OwnedSkinObject radio = TreeFromText(
        "object RadioButton: TVxSkinObject\n"
        "  Width = 13\n"
        "  Height = 13\n"
        "  Color = clRed\n"
        "  object Checked: TVxSkinObject\n"
        "    Align = saClient\n"
        "  end\n"
        "end\n");
    for (OwnedSkinObject* tree : {&form, &radio}) {
        TVxSkinObject* object = tree->release();
        source.AddObject(TSkinObjectPtr(object));
        object->SetBitmapList(&source.Bitmaps());
        object->LinkBitmaps();
    }
}

std::vector<uint8_t> SaveWith(TVxSkinSource& source, const TVxSkinFilterClass& filterClass) {
    TMemoryStream stream;
    std::unique_ptr<TVxSkinFilter> filter = filterClass.Create();
    filter->SetSource(&source);
    filter->SaveSkin(stream);
    return stream.Bytes();
}

void LoadWith(TVxSkinSource& source, const TVxSkinFilterClass& filterClass, std::span<const uint8_t> bytes) {
    TBytesStream stream(bytes);
    std::unique_ptr<TVxSkinFilter> filter = filterClass.Create();
    filter->SetSource(&source);
    filter->LoadSkin(stream);
}

std::string SkinTreesText(const TVxSkinSource& source) {
    std::string text;
    for (const TSkinObjectPtr& object : source.ObjectList()) {
        text += TreeToText(*object);
    }
    return text;
}

TPayloadBuilder& TPayloadBuilder::Int(int32_t value) {
    for (int i = 0; i < 4; ++i) {
        Bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
    }
    return *this;
}

TPayloadBuilder& TPayloadBuilder::Str(std::string_view text) {
    Int(static_cast<int32_t>(text.size()));
    Bytes.insert(Bytes.end(), text.begin(), text.end());
    return *this;
}

TPayloadBuilder& TPayloadBuilder::Raw(std::span<const uint8_t> bytes) {
    Bytes.insert(Bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

TPayloadBuilder& TPayloadBuilder::Header() {
    return Str("Name").Str("1.0").Str("Author").Str("Mail").Str("Url");
}

std::vector<uint8_t> Envelope(std::span<const uint8_t> payload, int level) {
    uLongf size = compressBound(static_cast<uLong>(payload.size()));
    std::vector<uint8_t> out(4 + size);
    if (compress2(out.data() + 4, &size, payload.data(), static_cast<uLong>(payload.size()), level) != Z_OK) {
        throw std::runtime_error("compress2 failed");
    }
    out.resize(4 + size);
    std::copy_n("QSLZ", 4, out.begin());
    return out;
}

}  // namespace zaprelay::skin::test
