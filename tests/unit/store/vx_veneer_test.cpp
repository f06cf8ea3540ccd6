// The skin engine: which skin it holds after each way of setting one, the messages that
// bracket every change in order, the stored skin data and its markers, and the skin list.
#include "skin/store/vx_veneer.h"

#include "framework/graphics/pixel.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/streams.h"
#include "skin/objects/skin_messages.h"
#include "skin/objects/skin_object_io.h"
#include "skin/store/skin_announcer.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_filters.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

// Records the announcements and the events around them, in order.
class TRecorder : public TVxSkinAnnouncer {
public:
    std::vector<std::string> Log;
    void AnnounceToForms(uint32_t msg, TVxVeneer&) override {
        Log.emplace_back(msg == VXM_SKINCHANGING ? "changing" : msg == VXM_SKINCHANGED ? "changed" : "other");
    }
};

constexpr TPixel kPlum = 0xFF6A2C5A;

// A one-bitmap, one-object skin named name in a source.
void MakeSkin(TVxSkinSource& source, const std::string& name) {
    source.Clear();
    source.SetSkinName(name);
    auto bitmap = std::make_unique<TVxBitmap>();
    bitmap->SetName("FACE.BMP");
    bitmap->SetSize(4, 4);
    bitmap->Fill(kPlum);
    source.Bitmaps().Add(std::move(bitmap));
    TSkinObjectPtr form(new TVxSkinObject(nullptr));
    form->SetName("Form");
    form->SetKind(skForm);
    form->SetColor(0x336699);
    source.AddObject(std::move(form));
}

class VeneerTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnregisterSkinClasses();
        RegisterSkinClasses();
        m_previous = SetSkinAnnouncer(&recorder);
        m_folder = std::filesystem::temp_directory_path() /
                   ("zr_veneer_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
        engine = std::make_unique<TVxVeneer>(nullptr);
        engine->OnBeforeChange = [this](TObject*) { recorder.Log.emplace_back("before"); };
        engine->OnAfterChange = [this](TObject*) { recorder.Log.emplace_back("after"); };
    }
    void TearDown() override {
        engine.reset();
        SetSkinAnnouncer(m_previous);
        UnregisterSkinClasses();
        std::filesystem::remove_all(m_folder);
    }
    // A skin file of that name holding a skin called skinName.
    std::string SkinFile(const std::string& file, const std::string& skinName) {
        TVxSkinSource source(nullptr);
        MakeSkin(source, skinName);
        const std::string path = (m_folder / file).string();
        source.SaveToFile(path);
        return path;
    }
    std::string Path(const std::string& file) const { return (m_folder / file).string(); }

    TRecorder recorder;
    std::unique_ptr<TVxVeneer> engine;

private:
    TVxSkinAnnouncer* m_previous = nullptr;
    std::filesystem::path m_folder;
};

using Log = std::vector<std::string>;

TEST_F(VeneerTest, SkinFileLoadsAndEveryReplacementIsBracketed) {
    // Nobody can hold a copy of nothing: only the change that happened is announced.
    engine->SetSkinFile(SkinFile("first.qskn", "First"));
    EXPECT_EQ(engine->SkinSource().SkinName(), "First");
    EXPECT_EQ(recorder.Log, (Log{"changed", "after"}));

    recorder.Log.clear();
    engine->OnBeforeChange = [this](TObject*) {
        recorder.Log.emplace_back("before");
        // From the start of the change lookups find nothing, though the old objects still exist.
        EXPECT_TRUE(engine->SkinSource().Updating());
        EXPECT_EQ(engine->SkinSource().GetObjectByName("Form"), nullptr);
        EXPECT_EQ(engine->SkinSource().Count(), 1);
    };
    engine->SetSkinFile(SkinFile("second.xskn", "Second"));
    EXPECT_EQ(engine->SkinSource().SkinName(), "Second");
    EXPECT_EQ(recorder.Log, (Log{"before", "changing", "changed", "after"}));
    EXPECT_FALSE(engine->SkinSource().Updating());

    // A file that is not there leaves no skin, and the clients hear of it.
    recorder.Log.clear();
    engine->SetSkinFile(Path("missing.qskn"));
    EXPECT_EQ(engine->SkinSource().Count(), 0);
    EXPECT_EQ(recorder.Log, (Log{"before", "changing", "changed", "after"}));
}

TEST_F(VeneerTest, AFailedLoadEndsTheChangeWithoutASkin) {
    engine->SetSkinFile(SkinFile("good.qskn", "Good"));
    const std::string broken = Path("broken.qskn");
    std::ofstream(broken, std::ios::binary) << "QSLZ this is no zlib stream";
    recorder.Log.clear();
    EXPECT_THROW(engine->SetSkinFile(broken), Exception);
    EXPECT_EQ(engine->SkinSource().Count(), 0);
    EXPECT_FALSE(engine->SkinSource().Updating());
    EXPECT_EQ(recorder.Log, (Log{"before", "changing", "changed", "after"}));
}

TEST_F(VeneerTest, HueChangesAreAnnouncedOnlyWhenTheyChangeSomething) {
    engine->SetDeltaHue(0);
    engine->SetDeltaHue(40);  // stored; no skin to recolour
    EXPECT_TRUE(recorder.Log.empty());
    engine->SetSkinFile(SkinFile("hue.qskn", "Hue"));
    TVxBitmap& face = *engine->SkinSource().Bitmaps().GetBitmap(0);
    // A new skin is brought to the engine's hue.
    EXPECT_EQ(face.GetPixel(0, 0), ShiftHue(kPlum, 40));

    recorder.Log.clear();
    engine->SetDeltaHue(40);
    EXPECT_TRUE(recorder.Log.empty());
    engine->SetDeltaHue(60);
    EXPECT_EQ(recorder.Log, (Log{"before", "changing", "changed", "after"}));
    EXPECT_EQ(engine->SkinSource().TargetHue(), 60);

    // Another skin loaded under a hue starts from its own colours, not the old skin's shift.
    engine->SetSkinFile(SkinFile("hue2.qskn", "Hue2"));
    EXPECT_EQ(engine->SkinSource().Bitmaps().GetBitmap(0)->GetPixel(0, 0), ShiftHue(kPlum, 60));
}

TEST_F(VeneerTest, SkinListEntriesAreClampedAndEmptyOnesIgnored) {
    TVxSkinList list(nullptr);
    for (const char* name : {"Zero", "One", "Two"}) {
        auto* item = static_cast<TVxSkinStream*>(list.Skins().Add());
        MakeSkin(item->SkinSource(), name);
    }
    list.Skins().Add();  // an entry without a skin
    EXPECT_EQ(list.Skins().Items(3)->DisplayName(), "(empty)");
    EXPECT_EQ(list.Skins().Items(1)->DisplayName(), "One");

    engine->SetSkinList(&list);
    engine->SetSkinIndex(1);
    EXPECT_EQ(engine->SkinSource().SkinName(), "One");
    EXPECT_EQ(recorder.Log, (Log{"before", "changing", "changed", "after"}));

    recorder.Log.clear();
    engine->SetSkinIndex(3);  // empty entry: nothing changes
    EXPECT_EQ(engine->SkinSource().SkinName(), "One");
    EXPECT_TRUE(recorder.Log.empty());
    engine->SetSkinIndex(-1);  // keeps the current skin
    EXPECT_EQ(engine->SkinSource().SkinName(), "One");

    list.Skins().Delete(3);
    engine->SetSkinIndex(7);
    EXPECT_EQ(engine->SkinIndex(), 2);
    EXPECT_EQ(engine->SkinSource().SkinName(), "Two");

    engine->SetSkinList(nullptr);
    EXPECT_EQ(engine->SkinIndex(), -1);

    // A list that goes does not leave the engine pointing at it.
    auto* passing = new TVxSkinList(nullptr);
    engine->SetSkinList(passing);
    passing->Free();
    EXPECT_EQ(engine->SkinList(), nullptr);
}

// The engine's stored data: a marker, then the container; read back through the form stream.
TEST_F(VeneerTest, SkinStreamTravelsWithTheFormAndMarkerOneReadsAlike) {
    MakeSkin(engine->SkinSource(), "Stored");
    engine->SetName("VxVeneer1");
    TMemoryStream form;
    WriteObjectStream(form, *engine);

    TVxVeneer copy(nullptr);
    bool announced = false;
    copy.OnAfterChange = [&](TObject*) { announced = true; };
    form.SetPosition(0);
    ReadObjectStream(form, copy);
    EXPECT_EQ(copy.SkinSource().SkinName(), "Stored");
    ASSERT_EQ(copy.SkinSource().Count(), 1);
    EXPECT_EQ(copy.SkinSource().GetFormObject()->Color(), 0x336699);
    EXPECT_TRUE(announced);  // the after-read step reports the skin read with the form
    EXPECT_TRUE(recorder.Log.empty());

    // The data itself: marker 2 and the container; a list entry's marker 1 loads alike, 0 holds none.
    TPropertyDeclarations declarations;
    engine->DeclareProperties(declarations);
    const TDefinedProperty* stream = declarations.Find("SkinStream");
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(stream->HasData);
    TMemoryStream data;
    stream->Writer(data);
    ASSERT_GT(data.Bytes().size(), 5u);
    EXPECT_EQ(data.Bytes()[0], kEngineSkinMarker);
    EXPECT_EQ(std::string(data.Bytes().begin() + 1, data.Bytes().begin() + 5), "QSLZ");

    std::vector<uint8_t> listForm = data.Bytes();
    listForm[0] = kListSkinMarker;
    TVxVeneer fromList(nullptr);
    TPropertyDeclarations listDeclarations;
    fromList.DeclareProperties(listDeclarations);
    TBytesStream listData(listForm);
    listDeclarations.Find("SkinStream")->Reader(listData);
    EXPECT_EQ(fromList.SkinSource().SkinName(), "Stored");

    const std::vector<uint8_t> none{kNoSkinMarker};
    TVxVeneer empty(nullptr);
    TPropertyDeclarations emptyDeclarations;
    empty.DeclareProperties(emptyDeclarations);
    TBytesStream noneData(none);
    emptyDeclarations.Find("SkinStream")->Reader(noneData);
    EXPECT_EQ(empty.SkinSource().Count(), 0);

    // While a list entry is in use the engine's own data is not written.
    TVxSkinList list(nullptr);
    engine->SetSkinList(&list);
    engine->SetSkinIndex(0);
    TPropertyDeclarations withList;
    engine->DeclareProperties(withList);
    EXPECT_FALSE(withList.Find("SkinStream")->HasData);
}

}  // namespace
}  // namespace zaprelay::skin
