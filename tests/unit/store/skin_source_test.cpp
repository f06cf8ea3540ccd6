#include "skin/store/skin_source.h"

#include "framework/rtl/streams.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_filters.h"
#include "tests/support/skin_tree.h"
#include "tests/unit/store/store_samples.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

namespace fs = std::filesystem;

class SkinSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSkinClasses();
        m_oldFolder = ProgramFolder();
        m_oldCurrent = fs::current_path();
        Dir = fs::temp_directory_path() /
              ("zr_store_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Dir);
        fs::create_directories(Dir / "exe");
        fs::create_directories(Dir / "cwd");
        fs::current_path(Dir / "cwd");
    }
    void TearDown() override {
        fs::current_path(m_oldCurrent);
        fs::remove_all(Dir);
        SetProgramFolder(m_oldFolder);
        UnregisterSkinClasses();
    }

    std::string PathOf(const std::string& name) const { return (Dir / name).string(); }
    static std::vector<uint8_t> ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path Dir;
    TVxSkinSource Source{nullptr};

private:
    std::string m_oldFolder;
    fs::path m_oldCurrent;
};

TEST_F(SkinSourceTest, StartsEmptyWithDefaultTextsAndClearKeepsThem) {
    EXPECT_EQ(Source.SkinName(), "Veneer Skin");
    EXPECT_EQ(Source.SkinVersion(), "3.3.1");
    EXPECT_FALSE(Source.Author().empty());
    EXPECT_EQ(Source.Count(), 0);
    EXPECT_FALSE(Source.Updating());
    EXPECT_EQ(Source.TargetHue(), 0);
    EXPECT_EQ(Source.AppliedHue(), 0);
    for (const char* name : {"SkinName", "SkinVersion", "Author", "AuthorEMail", "AuthorURL"}) {
        EXPECT_NE(Source.ClassInfo().FindProperty(name), nullptr) << name;
    }

    test::FillSampleSkin(Source);
    Source.Clear();
    EXPECT_EQ(Source.Count(), 0);
    EXPECT_EQ(Source.Bitmaps().Count(), 0);
    EXPECT_EQ(Source.SkinName(), "Sample");
}

TEST_F(SkinSourceTest, LookupsSeeTopLevelObjectsOnlyAndNothingWhileUpdating) {
    test::FillSampleSkin(Source);
    EXPECT_EQ(Source.GetObject(0)->Name(), "Form");
    EXPECT_EQ(Source.GetObject(2), nullptr);
    EXPECT_EQ(Source.GetObject(-1), nullptr);
    EXPECT_EQ(Source.GetObjectByName("radiobutton"), Source.GetObject(1));
    EXPECT_EQ(Source.GetObjectByName("Client"), nullptr);  // a child, not top-level
    EXPECT_EQ(Source.GetObjectByKind(skForm), Source.GetObject(0));
    EXPECT_EQ(Source.GetObjectByKind(skClient), nullptr);
    EXPECT_EQ(Source.GetFormObject(), Source.GetObject(0));

    Source.SetUpdating(true);
    EXPECT_EQ(Source.GetObject(0), nullptr);
    EXPECT_EQ(Source.GetObjectByName("Form"), nullptr);
    EXPECT_EQ(Source.GetFormObject(), nullptr);
    Source.SetUpdating(false);

    // Without a "Form" the first object of that kind stands in; equal names find the first.
    Source.GetObject(0)->SetName("Window");
    Source.GetObject(1)->SetName("Window");
    Source.GetObject(1)->SetKind(skForm);
    EXPECT_EQ(Source.GetFormObject(), Source.GetObject(0));
    Source.GetObject(0)->SetKind(skNone);
    EXPECT_EQ(Source.GetFormObject(), Source.GetObject(1));
    EXPECT_EQ(Source.GetObjectByName("WINDOW"), Source.GetObject(0));
}

TEST_F(SkinSourceTest, HueChangesApplyTheDifferenceToBitmapsAndObjects) {
    test::FillSampleSkin(Source);
    const TPixel before = Source.Bitmaps().GetBitmap(1)->GetPixel(0, 0);
    const TColor colour = Source.GetObject(1)->Color();

    Source.ChangeDeltaHue(10);
    Source.ChangeDeltaHue(10);  // no change, no second shift
    Source.ChangeDeltaHue(4);   // shifts by -6
    EXPECT_EQ(Source.TargetHue(), 4);
    EXPECT_EQ(Source.AppliedHue(), 4);
    EXPECT_EQ(Source.Bitmaps().GetBitmap(1)->GetPixel(0, 0), ShiftHue(ShiftHue(before, 10), -6));
    EXPECT_EQ(Source.GetObject(1)->Color(), HueShiftedColor(HueShiftedColor(colour, 10), -6));
    // Clear pixels keep their colour.
    EXPECT_EQ(Source.Bitmaps().GetBitmap(0)->GetPixel(2, 1), 0x00123456u);
}

TEST_F(SkinSourceTest, AfterLoadUnmasksTheFirstClientOfEachTree) {
    test::FillSampleSkin(Source);
    // A second client in the same tree stays masked.
    auto* second = new TVxSkinObject(Source.GetObject(0));
    second->SetKind(skClient);
    TMemoryStream stream;
    Source.SaveToStream(stream);
    stream.SetPosition(0);

    TVxSkinSource loaded(nullptr);
    loaded.LoadFromStream(stream);
    TVxSkinObject* form = loaded.GetObject(0);
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->FindObject("Client")->Masked());
    EXPECT_TRUE(form->GetChild(2)->Masked());
    EXPECT_TRUE(form->Masked());
    EXPECT_TRUE(loaded.GetObject(1)->Masked());
}

TEST_F(SkinSourceTest, StreamsUseTheCompressedContainer) {
    test::FillSampleSkin(Source);
    TMemoryStream stream;
    Source.SaveToStream(stream);
    EXPECT_EQ(stream.Bytes(), test::SaveWith(Source, TVxSkinFilterCompressed::Class()));
}

TEST_F(SkinSourceTest, FilesPickTheirFilterByExtension) {
    test::FillSampleSkin(Source);
    Source.SaveToFile(PathOf("a.MSKN"));
    Source.SaveToFile(PathOf("b.bin"));
    Source.SaveToFile(PathOf("c.uskn"));
    EXPECT_EQ(ReadFile(PathOf("b.bin")), test::SaveWith(Source, TVxSkinFilterCompressed::Class()));
    EXPECT_EQ(ReadFile(PathOf("c.uskn")), test::SaveWith(Source, TVxSkinFilterUncompressed::Class()));

    TVxSkinSource loaded(nullptr);
    loaded.LoadFromFile(PathOf("a.MSKN"));
    EXPECT_EQ(loaded.Count(), 2);
    EXPECT_FALSE(loaded.GetObject(0)->FindObject("Client")->Masked());  // AfterLoad ran

    // An extension no filter has is not loaded, even though the bytes would be.
    TVxSkinSource other(nullptr);
    other.LoadFromFile(PathOf("b.bin"));
    EXPECT_EQ(other.Count(), 0);
    fs::copy_file(PathOf("b.bin"), PathOf("b.QSKN"));
    other.LoadFromFile(PathOf("b.QSKN"));
    EXPECT_EQ(other.Count(), 2);
}

TEST_F(SkinSourceTest, MissingFilesAreNotLoadedAndRelativeNamesAreLookedUpBesideTheProgram) {
    test::FillSampleSkin(Source);
    Source.SaveToFile(PathOf("exe/skin.qskn"));
    SetProgramFolder(PathOf("exe"));
    EXPECT_EQ(ProgramFolder(), PathOf("exe") + "/");

    TVxSkinSource loaded(nullptr);
    loaded.LoadFromFile("");
    loaded.LoadFromFile(PathOf("cwd/skin.qskn"));  // rooted: not looked for elsewhere
    loaded.LoadFromFile("missing.qskn");
    EXPECT_EQ(loaded.Count(), 0);
    loaded.LoadFromFile("skin.qskn");  // not in the current folder
    EXPECT_EQ(loaded.Count(), 2);

    // One in the current folder comes first.
    TVxSkinSource empty(nullptr);
    empty.SetSkinName("Local");
    empty.SaveToFile("skin.qskn");
    loaded.LoadFromFile("skin.qskn");
    EXPECT_EQ(loaded.Count(), 0);
    EXPECT_EQ(loaded.SkinName(), "Local");
}

TEST_F(SkinSourceTest, AFailedLoadFromAFileLeavesTheFileAndRaises) {
    const std::vector<uint8_t> junk = {'Q', 'S', 'L', 'Z', 1, 2, 3, 4, 5};
    {
        std::ofstream out(PathOf("bad.qskn"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(junk.data()), static_cast<std::streamsize>(junk.size()));
    }
    EXPECT_THROW(Source.LoadFromFile(PathOf("bad.qskn")), Exception);
    EXPECT_EQ(ReadFile(PathOf("bad.qskn")), junk);
}

TEST(ProgramFolderTest, DefaultsToTheExecutablesFolder) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
#ifdef __linux__
    EXPECT_EQ(folder, fs::read_symlink("/proc/self/exe").parent_path().string() + "/");
#endif
}

}  // namespace
}  // namespace zaprelay::skin
