#include "framework/graphics/bitmap_link.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/font.h"

#include <gtest/gtest.h>

namespace zaprelay::test {
namespace {

std::unique_ptr<TVxBitmap> Opaque(const std::string& name, int w, int h) {
    auto bitmap = std::make_unique<TVxBitmap>();
    bitmap->SetName(name);
    bitmap->SetSize(w, h);
    bitmap->Fill(0xFF808080);
    return bitmap;
}

TEST(BitmapList, FindsNamesIgnoringCaseAndPrefersTheLaterBitmap) {
    TVxBitmapList list;
    list.Add(Opaque("FRAMECAPTION.BMP", 4, 4));
    list.Add(Opaque("CloseButton.bmp", 63, 21));
    list.Add(Opaque("closebutton.BMP", 63, 21));

    std::unique_ptr<TVxBitmapLink> link = list.FindLink("framecaption.bmp", {1, 1, 3, 3});
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Image(), list.GetBitmap(0));
    EXPECT_EQ(link->Name(), "FRAMECAPTION.BMP");
    EXPECT_EQ(link->Rect(), (TRect{1, 1, 3, 3}));
    EXPECT_EQ(list.FindLink("CLOSEBUTTON.BMP", {0, 0, 21, 21})->Image(), list.GetBitmap(2));
    EXPECT_EQ(list.FindLink("framecaption", {0, 0, 1, 1}), nullptr) << "the extension is part of the name";
    EXPECT_EQ(list.GetBitmap(-1), nullptr);
    EXPECT_EQ(list.GetBitmap(3), nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(BitmapLink, ValidNeedsAnImageAndAnArea) {
    auto bitmap = Opaque("A", 5, 5);
    std::unique_ptr<TVxBitmapLink> link = bitmap->GetLink({2, 2, 2, 4});
    EXPECT_FALSE(link->Valid());
    link->SetRect({0, 0, 5, 5});
    EXPECT_TRUE(link->Valid());
    TVxBitmapLink unbound;
    unbound.SetRect({0, 0, 5, 5});
    EXPECT_FALSE(unbound.Valid());
}

class CheckMaskedTest : public ::testing::Test {
protected:
    void SetUp() override { m_image = Opaque("SKIN", 80, 40); }
    // A link to (40, 10)-(60, 30) with one see-through pixel at (px, py) inside it.
    TVxBitmapLink& LinkWithHole(int px, int py, TPixel hole = TransparentColor) {
        *m_image->PixelPtr(40 + px, 10 + py) = hole;
        m_link = m_image->GetLink({40, 10, 60, 30});
        return *m_link;
    }
    std::unique_ptr<TVxBitmap> m_image;
    std::unique_ptr<TVxBitmapLink> m_link;
};

TEST_F(CheckMaskedTest, OpaqueRectangleHasNoFlags) {
    m_link = m_image->GetLink({40, 10, 60, 30});
    m_link->CheckMasked({3, 3, 3, 3});
    EXPECT_FALSE(m_link->Masked() || m_link->MaskedBorder() || m_link->MaskedAngles());
    m_link->CheckMasked();
    EXPECT_FALSE(m_link->Masked());
}

TEST_F(CheckMaskedTest, WithoutMarginsAnySeeThroughPixelMasks) {
    TVxBitmapLink& link = LinkWithHole(0, 0, 0xFE000000);  // alpha 254 is see-through too
    link.CheckMasked();
    EXPECT_TRUE(link.Masked());
    EXPECT_FALSE(link.MaskedBorder() || link.MaskedAngles());
}

TEST_F(CheckMaskedTest, MarginsSortPixelsIntoCornersBandsAndCentre) {
    TVxBitmapLink& corner = LinkWithHole(19, 19);
    corner.CheckMasked({3, 3, 3, 3});
    EXPECT_TRUE(corner.MaskedAngles());
    EXPECT_FALSE(corner.Masked() || corner.MaskedBorder());

    SetUp();
    TVxBitmapLink& centre = LinkWithHole(10, 10);
    centre.CheckMasked({3, 3, 3, 3});
    EXPECT_TRUE(centre.Masked());
    EXPECT_FALSE(centre.MaskedAngles() || centre.MaskedBorder());

    SetUp();
    TVxBitmapLink& bottom = LinkWithHole(10, 16);  // in the bottom five rows
    bottom.CheckMasked({0, 0, 0, 5});
    EXPECT_TRUE(bottom.MaskedBorder());
    EXPECT_FALSE(bottom.Masked());
}

// Zones are half-open: a pixel on the line where a margin ends belongs to the next zone in.
TEST_F(CheckMaskedTest, ZoneBoundariesAndOversizedMargins) {
    struct Case {
        int X, Y;
        TRect Margins;
        bool Angles, Border, Centre;
    };
    const Case cases[] = {
        {2, 2, {3, 3, 3, 3}, true, false, false},    // last pixel of the top-left corner
        {3, 2, {3, 3, 3, 3}, false, true, false},    // first pixel of the top band
        {3, 3, {3, 3, 3, 3}, false, false, true},    // first pixel of the centre
        {16, 16, {3, 3, 3, 3}, false, false, true},  // last pixel of the centre
        {17, 16, {3, 3, 3, 3}, false, true, false},  // first pixel of the right band
        {17, 17, {3, 3, 3, 3}, true, false, false},  // first pixel of the bottom-right corner
        // Margins wider than the 20 x 20 rectangle: the corners overlap, bands and centre vanish.
        {10, 10, {15, 15, 15, 15}, true, false, false},
        {10, 10, {25, 0, 0, 0}, false, true, false},  // only a left band, reaching past the right edge
        // Values no skin means, from a damaged file: no overflow, the pixel lands somewhere.
        {0, 0, {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}, false, false, false},
    };
    for (const Case& c : cases) {
        SetUp();
        TVxBitmapLink& link = LinkWithHole(c.X, c.Y);
        link.CheckMasked(c.Margins);
        if (c.Margins.Left == INT32_MAX) {
            continue;  // only that it returns
        }
        EXPECT_EQ(link.MaskedAngles(), c.Angles) << c.X << "," << c.Y << " margin " << c.Margins.Left;
        EXPECT_EQ(link.MaskedBorder(), c.Border) << c.X << "," << c.Y << " margin " << c.Margins.Left;
        EXPECT_EQ(link.Masked(), c.Centre) << c.X << "," << c.Y << " margin " << c.Margins.Left;
    }
}

TEST_F(CheckMaskedTest, PixelsOutsideTheImageAreIgnored) {
    m_link = m_image->GetLink({70, 30, 90, 50});  // reaches past the 80 x 40 image
    m_link->CheckMasked();
    EXPECT_FALSE(m_link->Masked());
}

TEST(BitmapLink, CopyFromCopiesEverythingButRefusesOtherTypes) {
    auto image = Opaque("A", 4, 4);
    *image->PixelPtr(0, 0) = TransparentColor;
    std::unique_ptr<TVxBitmapLink> link = image->GetLink({0, 0, 4, 4});
    link->CheckMasked();
    TVxBitmapLink copy;
    copy.CopyFrom(*link);
    EXPECT_EQ(copy.Image(), image.get());
    EXPECT_EQ(copy.Rect(), link->Rect());
    EXPECT_EQ(copy.Name(), "A");
    EXPECT_TRUE(copy.Masked());
    TFont font;
    EXPECT_THROW(copy.CopyFrom(font), EConvertError);
}

// A class that knows how to copy itself into a link (as the Win32 graphics copy into a
// bitmap): the link takes what it was given and reads nothing more from the source.
class TLinkSource : public TPersistent {
public:
    void CopyTo(TPersistent& target) const override {
        auto* link = dynamic_cast<TVxBitmapLink*>(&target);
        if (link == nullptr) {
            TPersistent::CopyTo(target);
            return;
        }
        link->SetName("FROM SOURCE");
        link->SetRect({1, 2, 3, 4});
    }
};

TEST(BitmapLink, CopyFromASourceThatCopiesItselfStopsThere) {
    TVxBitmapLink link;
    TLinkSource source;
    link.CopyFrom(source);
    EXPECT_EQ(link.Name(), "FROM SOURCE");
    EXPECT_EQ(link.Rect(), (TRect{1, 2, 3, 4}));
    EXPECT_EQ(link.Image(), nullptr);
}

TEST(BitmapLink, StreamsNameAndRectangleInThatOrder) {
    std::vector<std::string> names;
    for (const TPropInfo* p : TVxBitmapLink::StaticClassInfo().Properties()) {
        names.push_back(p->Name);
        EXPECT_FALSE(p->Default.has_value()) << p->Name << " is always written";
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Name", "Left", "Top", "Right", "Bottom"}));
}

}  // namespace
}  // namespace zaprelay::test
