// The skin the build packs, loaded as the program loads it: the whole skin is there, client
// parts are unmasked, every font has the default character set, links to missing pictures
// stay unresolved, and a copy of the frame lays itself out at another width.
#include "framework/graphics/pixel.h"
#include "framework/rtl/streams.h"
#include "skin/objects/button_object.h"
#include "skin/objects/skin_object_io.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_source.h"
#include "tests/support/skin_tree.h"
#include "tests/unit/store/store_samples.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace zaprelay::skin {
namespace {

class PlumContainerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSkinClasses();
        std::ifstream file(ZR_PLUM_SKIN, std::ios::binary);
        const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(file), {});
        ASSERT_GT(bytes.size(), 4u) << ZR_PLUM_SKIN;
        TBytesStream stream(bytes);
        source.LoadFromStream(stream);
    }
    void TearDown() override { UnregisterSkinClasses(); }

    TVxSkinSource source{nullptr};
};

void ForEachObject(TVxSkinObject& object, const std::function<void(TVxSkinObject&)>& visit) {
    visit(object);
    for (int i = 0; i < object.ChildCount(); ++i) {
        ForEachObject(*object.GetChild(i), visit);
    }
}

// The real skin cut short: an error each time, the skin loaded before left whole. Every length
// through the header and the first blocks, then every 61st (each cut inflates all before it).
TEST_F(PlumContainerTest, ACutSkinIsAnErrorAndLeavesTheLoadedSkinWhole) {
    std::ifstream file(ZR_PLUM_SKIN, std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(file), {});
    for (std::size_t size = 0; size < bytes.size(); size += size < 4096 ? 1 : 61) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        TBytesStream stream(cut);
        EXPECT_THROW(source.LoadFromStream(stream), Exception) << "cut at " << size;
    }
    EXPECT_EQ(source.Count(), 25);
    EXPECT_EQ(source.SkinName(), "Plum");
}

TEST_F(PlumContainerTest, LoadsWholeWithItsClientsUnmaskedAndDefaultCharsets) {
    EXPECT_EQ(source.SkinName(), "Plum");
    EXPECT_EQ(source.SkinVersion(), "3.0.0");
    EXPECT_EQ(source.Bitmaps().Count(), 57);
    ASSERT_EQ(source.Count(), 25);
    EXPECT_EQ(source.GetObject(24)->Name(), "Toolbar");
    EXPECT_EQ(source.GetObjectByName("toolbar"), source.GetObject(22));  // the first of the two
    EXPECT_EQ(source.GetObjectByName("radiobutton"), source.GetObject(3));
    EXPECT_EQ(source.GetFormObject(), source.GetObject(0));

    EXPECT_FALSE(source.GetFormObject()->FindObject("Client")->Masked());
    int objects = 0;
    for (const TSkinObjectPtr& top : source.ObjectList()) {
        ForEachObject(*top, [&](TVxSkinObject& o) {
            ++objects;
            EXPECT_EQ(o.Font().Charset(), DEFAULT_CHARSET) << o.Name();
        });
    }
    EXPECT_EQ(objects, 140);  // every object of the 25 trees
    // Magenta became the key colour where the frame is shaped.
    bool keyed = false;
    const TVxBitmap& caption = *source.Bitmaps().GetBitmap(1);
    for (int32_t x = 0; x < caption.Width() && !keyed; ++x) {
        keyed = IsKeyPixel(caption.GetPixel(x, 0));
    }
    EXPECT_TRUE(keyed);
}

TEST_F(PlumContainerTest, MissingPicturesStayUnresolvedAndTheFrameFollowsItsWidth) {
    auto& checked = test::Find<TVxButtonObject>(*source.GetObjectByName("RadioButton"), "Checked");
    EXPECT_EQ(checked.BitmapFocused().Image(), nullptr);  // "RADIOBUTTON.BMP" is not in the skin
    EXPECT_NE(checked.Bitmap().Image(), nullptr);

    test::OwnedSkinObject form(CloneSkinObject(*source.GetFormObject(), nullptr));
    form->SetBounds(0, 0, 500, 247);
    EXPECT_EQ(test::Find(*form, "ButtonContainer").Left(), 292);
}

}  // namespace
}  // namespace zaprelay::skin
