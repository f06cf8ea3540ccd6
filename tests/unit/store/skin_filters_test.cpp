#include "skin/store/skin_filters.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"
#include "skin/objects/bitmap_object.h"
#include "skin/store/bmp_codec.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_source.h"
#include "tests/support/skin_tree.h"
#include "tests/unit/store/store_samples.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

using test::TPayloadBuilder;
using ::testing::HasSubstr;

class SkinFilterTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSkinClasses(); }
    void TearDown() override { UnregisterSkinClasses(); }

    // Loads a payload through the Uncompressed filter into Loaded.
    void LoadPayload(const std::vector<uint8_t>& payload) {
        test::LoadWith(Loaded, TVxSkinFilterUncompressed::Class(), payload);
    }

    TVxSkinSource Loaded{nullptr};
};

const TVxSkinFilterClass* const kAllFilters[] = {
    &TVxSkinFilterUncompressed::Class(),
    &TVxSkinFilterCompressed::Class(),
    &TVxSkinFilterUltraCompressed::Class(),
    &TVxSkinFilterMaxCompression::Class(),
};

TEST_F(SkinFilterTest, ClassFunctionsRegistryOrderAndExtensionLookup) {
    const std::pair<const char*, const char*> names[] = {{"uskn", "Uncompressed Skin"},
                                                         {"qskn", "Compressed Skin"},
                                                         {"xskn", "Ultra Compressed Skin"},
                                                         {"mskn", "Maximum Compressed"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(kAllFilters[i]->Extension(), names[i].first);
        EXPECT_EQ(kAllFilters[i]->Description(), names[i].second);
        EXPECT_EQ(FindSkinFilter(std::string("skin.") + names[i].first), kAllFilters[i]);
    }
    EXPECT_TRUE(TVxSkinFilterMaxCompression().InheritsFrom(TVxSkinFilterUltraCompressed::StaticClassInfo()));
    EXPECT_EQ(&DefaultSkinFilter(), &TVxSkinFilterCompressed::Class());

    EXPECT_EQ(FindSkinFilter("C:\\Skins\\Plum.QSKN"), &TVxSkinFilterCompressed::Class());
    EXPECT_EQ(FindSkinFilter("plum.qskn.bin"), nullptr);
    EXPECT_EQ(FindSkinFilter("skins.qskn/plum"), nullptr);
    EXPECT_EQ(FindSkinFilter("qskn"), nullptr);
    EXPECT_EQ(FindSkinFilter("plum."), nullptr);

    RegisterSkinFilter(TVxSkinFilterCompressed::Class());  // listed once
    UnregisterSkinFilter(TVxSkinFilterCompressed::Class());
    EXPECT_EQ(FindSkinFilter("a.qskn"), nullptr);
    EXPECT_EQ(FindSkinFilter("a.mskn"), &TVxSkinFilterMaxCompression::Class());
    UnregisterStandardSkinFilters();
    EXPECT_EQ(FindSkinFilter("a.uskn"), nullptr);
}

TEST_F(SkinFilterTest, EveryFilterRoundTripsHeaderBitmapsAndObjects) {
    TVxSkinSource original(nullptr);
    test::FillSampleSkin(original);
    const std::string trees = test::SkinTreesText(original);
    const std::vector<TPixel> frame = test::SampleFramePixels();

    for (const TVxSkinFilterClass* filter : kAllFilters) {
        SCOPED_TRACE(std::string(filter->Extension()));
        const bool max = filter == &TVxSkinFilterMaxCompression::Class();
        TVxSkinSource loaded(nullptr);
        test::LoadWith(loaded, *filter, test::SaveWith(original, *filter));

        EXPECT_EQ(loaded.SkinName(), "Sample");
        EXPECT_EQ(loaded.SkinVersion(), "1.2");
        EXPECT_EQ(loaded.Author(), "Tester");
        EXPECT_EQ(loaded.AuthorEMail(), "t@example.org");
        EXPECT_EQ(loaded.AuthorURL(), "example.org");
        ASSERT_EQ(loaded.Bitmaps().Count(), 2);
        const TVxBitmap& bitmap = *loaded.Bitmaps().GetBitmap(0);
        EXPECT_EQ(bitmap.Name(), "FRAME.BMP");
        ASSERT_EQ(bitmap.Width(), 4);
        ASSERT_EQ(bitmap.Height(), 3);
        // Raw pixels near magenta become see-through; the 16-bit images key the key colour
        // itself (the pixels they hold were keyed when the skin was loaded) and keep the top
        // bits of each channel and no alpha.
        const std::vector<int> keyed = max ? std::vector<int>{7} : std::vector<int>{0, 1};
        for (int i = 0; i < 12; ++i) {
            const TPixel p = frame[static_cast<std::size_t>(i)];
            TPixel expected = p;
            if (std::find(keyed.begin(), keyed.end(), i) != keyed.end()) {
                expected = TransparentColor;
            } else if (max) {
                TVxBitmap one;
                one.SetSize(1, 1);
                one.Fill(p);
                TVxBitmap back;
                DecodeBmp(EncodeBmp565(one), back);
                expected = back.GetPixel(0, 0);
            }
            EXPECT_EQ(bitmap.Bits()[i], expected) << "pixel " << i;
        }
        EXPECT_EQ(loaded.Bitmaps().GetBitmap(1)->Name(), "Glyph.bmp");
        EXPECT_EQ(test::SkinTreesText(loaded), trees);

        // Loaded objects use the loaded skin's bitmaps.
        auto& pic = test::Find<TVxBitmapObject>(*loaded.GetObjectByName("Form"), "Pic");
        EXPECT_EQ(pic.Bitmaps, &loaded.Bitmaps());
        EXPECT_EQ(pic.Bitmap().Image(), &bitmap);
    }
}

TEST_F(SkinFilterTest, EnvelopesStartAsTheFormatSays) {
    TVxSkinSource source(nullptr);
    test::FillSampleSkin(source);
    const std::vector<uint8_t> plain = test::SaveWith(source, TVxSkinFilterUncompressed::Class());
    EXPECT_EQ(std::string(plain.begin(), plain.begin() + 10), std::string("\x06\0\0\0Sample", 10));
    const std::pair<const TVxSkinFilterClass*, uint8_t> zipped[] = {{&TVxSkinFilterCompressed::Class(), 0x01},
                                                                    {&TVxSkinFilterUltraCompressed::Class(), 0xDA},
                                                                    {&TVxSkinFilterMaxCompression::Class(), 0xDA}};
    for (auto [filter, flags] : zipped) {
        const std::vector<uint8_t> bytes = test::SaveWith(source, *filter);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "QSLZ");
        EXPECT_EQ(bytes[4], 0x78);
        EXPECT_EQ(bytes[5], flags);
    }
}

TEST_F(SkinFilterTest, TheMagicIsNotCheckedAndNothingFollowsTheZlibData) {
    TVxSkinSource source(nullptr);
    test::FillSampleSkin(source);
    std::vector<uint8_t> bytes = test::SaveWith(source, TVxSkinFilterCompressed::Class());
    std::copy_n("ABCD", 4, bytes.begin());
    test::LoadWith(Loaded, TVxSkinFilterCompressed::Class(), bytes);
    EXPECT_EQ(Loaded.Count(), 2);

    // Our own container: exactly the payload inside, nothing after the zlib stream.
    TBytesStream stream(bytes);
    stream.SetPosition(4);
    TDecompressionStream inflater(stream);
    std::vector<uint8_t> payload(1 << 16);
    payload.resize(static_cast<std::size_t>(inflater.Read(payload.data(), static_cast<int64_t>(payload.size()))));
    EXPECT_TRUE(inflater.Ended());
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(payload, test::SaveWith(source, TVxSkinFilterUncompressed::Class()));
}

TEST_F(SkinFilterTest, KeyingTakesMagentaWithinFiveOfEachChannel) {
    LoadPayload(TPayloadBuilder()
                    .Header()
                    .Int(1)
                    .Str("K.BMP")
                    .Int(4)
                    .Int(1)
                    .Pixel(0xFFFA04FC)  // 250, 4, 252
                    .Pixel(0xFFF900FF)  // 249, 0, 255: red is six away
                    .Pixel(0x00FF05FF)  // any alpha
                    .Pixel(0xFFFF06FF)  // green six away
                    .Int(0)
                    .Bytes);
    const TVxBitmap& bitmap = *Loaded.Bitmaps().GetBitmap(0);
    EXPECT_EQ(bitmap.GetPixel(0, 0), TransparentColor);
    EXPECT_EQ(bitmap.GetPixel(1, 0), 0xFFF900FFu);
    EXPECT_EQ(bitmap.GetPixel(2, 0), TransparentColor);
    EXPECT_EQ(bitmap.GetPixel(3, 0), 0xFFFF06FFu);
}

TEST_F(SkinFilterTest, EmptyAndNegativeCountsLoadAnEmptySkin) {
    for (auto [bitmaps, objects] : {std::pair{0, 0}, std::pair{-1, 0}, std::pair{0, -5}, std::pair{INT32_MIN, -1}}) {
        LoadPayload(TPayloadBuilder().Header().Int(bitmaps).Int(objects).Bytes);
        EXPECT_EQ(Loaded.SkinName(), "Name");
        EXPECT_EQ(Loaded.Bitmaps().Count(), 0);
        EXPECT_EQ(Loaded.Count(), 0);
    }
}

TEST_F(SkinFilterTest, ALoadReplacesTheWholeSkin) {
    test::FillSampleSkin(Loaded);
    LoadPayload(TPayloadBuilder().Header().Int(0).Int(0).Bytes);
    EXPECT_EQ(Loaded.Bitmaps().Count(), 0);
    EXPECT_EQ(Loaded.Count(), 0);
}

TEST_F(SkinFilterTest, ANegativeSizeMakesABlankBitmapWithoutPixels) {
    LoadPayload(TPayloadBuilder()
                    .Header()
                    .Int(2)
                    .Str("A")
                    .Int(-2)
                    .Int(1)
                    .Str("B")
                    .Int(1)
                    .Int(1)
                    .Pixel(0xFF010203)
                    .Int(0)
                    .Bytes);
    ASSERT_EQ(Loaded.Bitmaps().Count(), 2);
    EXPECT_EQ(Loaded.Bitmaps().GetBitmap(0)->Width(), 2);
    EXPECT_EQ(Loaded.Bitmaps().GetBitmap(0)->Height(), 1);
    EXPECT_EQ(Loaded.Bitmaps().GetBitmap(0)->GetPixel(1, 0), 0u);
    EXPECT_EQ(Loaded.Bitmaps().GetBitmap(1)->GetPixel(0, 0), 0xFF010203u);
}

TEST_F(SkinFilterTest, APayloadThatEndsEarlyIsAReadError) {
    TVxSkinSource source(nullptr);
    test::FillSampleSkin(source);
    const std::vector<uint8_t> payload = test::SaveWith(source, TVxSkinFilterUncompressed::Class());
    const std::size_t pixelsStart = 4 + 6 + 4 + 3 + 4 + 6 + 4 + 13 + 4 + 11 + 4 + (4 + 9) + 8;
    for (std::size_t size = 0; size < payload.size(); ++size) {
        std::vector<uint8_t> cut(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(size));
        try {
            LoadPayload(cut);
            ADD_FAILURE() << "cut at " << size << " loaded";
        } catch (const EReadError& e) {
            if (size >= pixelsStart && size < pixelsStart + 48) {
                EXPECT_STREQ(e.what(), "Stream read error") << "cut at " << size;
            }
        }
    }
}

TEST_F(SkinFilterTest, BitmapSizesBeyondWhatIsLeftAreRefusedBeforeAllocating) {
    for (auto [width, height] : {std::pair{INT32_MAX, INT32_MAX}, std::pair{INT32_MIN, INT32_MIN},
                                 std::pair{30000, 30000}, std::pair{2, 2}, std::pair{-100000, 5}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        // Room for one pixel and the object count.
        const std::vector<uint8_t> payload =
            TPayloadBuilder().Header().Int(1).Str("BIG").Int(width).Int(height).Int(0).Int(0).Bytes;
        try {
            LoadPayload(payload);
            ADD_FAILURE() << "loaded";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
        // Inside an envelope, too.
        EXPECT_THROW(test::LoadWith(Loaded, TVxSkinFilterCompressed::Class(), test::Envelope(payload)), EReadError);
    }
}

TEST_F(SkinFilterTest, AnUnregisteredObjectClassRefusesTheContainerNamingIt) {
    const std::vector<uint8_t> text =
        TPayloadBuilder().Header().Int(0).Int(1).Str("TNoSuchObject").Str("object X: TNoSuchObject\r\nend\r\n").Bytes;
    EXPECT_THAT([&] { LoadPayload(text); }, ::testing::ThrowsMessage<EClassNotFound>(HasSubstr("TNoSuchObject")));
    const std::vector<uint8_t> binary =
        TPayloadBuilder().Header().Int(0).Int(1).Str("TNoSuchObject").Int(4).Str("TPF0").Bytes;
    EXPECT_THAT([&] { test::LoadWith(Loaded, TVxSkinFilterMaxCompression::Class(), test::Envelope(binary)); },
                ::testing::ThrowsMessage<EClassNotFound>(HasSubstr("TNoSuchObject")));
}

TEST_F(SkinFilterTest, DamagedEnvelopesRaiseZlibOrReadErrors) {
    TVxSkinSource source(nullptr);
    test::FillSampleSkin(source);
    const std::vector<uint8_t> good = test::SaveWith(source, TVxSkinFilterCompressed::Class());

    std::vector<uint8_t> flipped = good;
    flipped[good.size() / 2] ^= 0x5A;
    EXPECT_THROW(test::LoadWith(Loaded, TVxSkinFilterCompressed::Class(), flipped), Exception);

    std::vector<uint8_t> badHeader = good;
    badHeader[4] = 0x00;
    EXPECT_THROW(test::LoadWith(Loaded, TVxSkinFilterCompressed::Class(), badHeader), EZlibError);

    for (std::size_t size : {std::size_t{0}, std::size_t{3}, std::size_t{6}, good.size() / 2, good.size() - 1}) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        try {
            test::LoadWith(Loaded, TVxSkinFilterCompressed::Class(), cut);
            ADD_FAILURE() << "cut at " << size << " loaded";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
    }
}

TEST_F(SkinFilterTest, MaxCompressionImageRecordsAreChecked) {
    auto load = [&](const TPayloadBuilder& payload) {
        test::LoadWith(Loaded, TVxSkinFilterMaxCompression::Class(), test::Envelope(payload.Bytes, 9));
    };
    const TPayloadBuilder header = TPayloadBuilder().Header().Int(1).Str("IMG");
    for (int32_t size : {-1, 1000}) {
        try {
            load(TPayloadBuilder(header).Int(size).Int(0).Int(0));
            ADD_FAILURE() << "size " << size << " loaded";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
    }
    EXPECT_THAT([&] { load(TPayloadBuilder(header).Int(4).Str("").Int(0)); },
                ::testing::ThrowsMessage<Exception>(::testing::StrEq("Bitmap image is not valid")));
    // An empty bitmap is stored as an image of no bytes.
    load(TPayloadBuilder(header).Int(0).Int(0));
    ASSERT_EQ(Loaded.Bitmaps().Count(), 1);
    EXPECT_TRUE(Loaded.Bitmaps().GetBitmap(0)->Empty());
    EXPECT_EQ(Loaded.Bitmaps().GetBitmap(0)->Name(), "IMG");
}

TEST_F(SkinFilterTest, WithoutASourceOrAnEnvelopeNothingHappens) {
    TVxSkinFilter base;
    TMemoryStream stream;
    base.SaveSkin(stream);
    base.WriteSkin(stream);
    EXPECT_EQ(stream.Size(), 0);
    base.SetSource(&Loaded);
    base.SaveSkin(stream);
    EXPECT_EQ(stream.Size(), 0);
    TVxSkinFilterCompressed compressed;
    TMemoryStream garbage(std::vector<uint8_t>{1, 2, 3});
    compressed.ReadSkin(garbage);
    EXPECT_EQ(garbage.Position(), 0);
}

}  // namespace
// A skin file of each kind cut at every length, and with every byte flipped once: each load
// ends in an error or a whole skin, never a crash or a hang (the sanitizers watch the reading).
TEST_F(SkinFilterTest, EveryTruncationIsAnErrorAndNoFlippedByteCrashes) {
    TVxSkinSource source(nullptr);
    test::FillSampleSkin(source);
    for (const TVxSkinFilterClass* filter :
         {&TVxSkinFilterUncompressed::Class(), &TVxSkinFilterCompressed::Class(), &TVxSkinFilterMaxCompression::Class(),
          &TVxSkinFilterUltraCompressed::Class()}) {
        SCOPED_TRACE(std::string(filter->Extension()));
        const std::vector<uint8_t> good = test::SaveWith(source, *filter);
        for (std::size_t size = 0; size < good.size(); ++size) {
            const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_THROW(test::LoadWith(Loaded, *filter, cut), Exception) << "cut at " << size;
        }
        for (std::size_t at = 0; at < good.size(); ++at) {
            std::vector<uint8_t> flipped = good;
            flipped[at] ^= 0xFF;
            try {
                test::LoadWith(Loaded, *filter, flipped);
            } catch (const Exception&) {
            }
        }
    }
}

}  // namespace zaprelay::skin
