// The skin commands end to end through RunZapskin: small skins made here, and the packed Plum.
#include "tools/zapskin/skin_commands.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/streams.h"
#include "skin/objects/skin_object_text.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_source.h"
#include "tools/zapskin/png_codec.h"
#include "tools/zapskin/skin_file.h"
#include "tools/zapskin/skin_folder.h"
#include "tools/zapskin/zapskin_commands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::zapskin {
namespace {

namespace fs = std::filesystem;

constexpr TPixel kMagenta = 0xFFFF00FF;
constexpr TPixel kPlum = 0xFF8E4585;

// A 4 x 4 frame piece: magenta corners (see-through once loaded), plum elsewhere.
constexpr char kBoxText[] =
    "object Box: TVxSkinObject\r\n"
    "  Kind = skForm\r\n"
    "  Left = 0\r\n"
    "  Top = 0\r\n"
    "  Height = 10\r\n"
    "  Width = 20\r\n"
    "  object Face: TVxBitmapObject\r\n"
    "    Align = saClient\r\n"
    "    Left = 0\r\n"
    "    Top = 0\r\n"
    "    Height = 10\r\n"
    "    Width = 20\r\n"
    "    TileStyle = tsStretch\r\n"
    "    Bitmap.Name = 'piece/1.bmp'\r\n"
    "    Bitmap.Left = 0\r\n"
    "    Bitmap.Top = 0\r\n"
    "    Bitmap.Right = 4\r\n"
    "    Bitmap.Bottom = 4\r\n"
    "  end\r\n"
    "end\r\n";

constexpr char kLabelText[] =
    "object Label: TVxSkinObject\r\n"
    "  Color = clRed\r\n"
    "  Left = 0\r\n"
    "  Top = 0\r\n"
    "  Height = 5\r\n"
    "  Width = 5\r\n"
    "end\r\n";

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TRgbaImage ReadPicture(const fs::path& path) {
    const std::string bytes = ReadFile(path);
    return DecodePngRgba({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

// 0xAARRGGBB of one pixel of a picture.
uint32_t At(const TRgbaImage& image, int32_t x, int32_t y) {
    const uint8_t* p =
        &image
             .Rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.Width) + static_cast<std::size_t>(x)) *
                   4];
    return (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

class SkinCommands : public ::testing::Test {
protected:
    void SetUp() override {
        skin::RegisterSkinClasses();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("zapskin_skin_") + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    // Every file and folder below the test folder, relative and sorted.
    std::vector<std::string> Tree() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir)) {
            names.push_back(fs::relative(entry.path(), m_dir).generic_string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Two bitmaps (the frame piece, a 3 x 1 strip) and two top-level trees.
    void FillSmallSkin(skin::TVxSkinSource& source) const {
        source.SetSkinName("Small");
        source.SetSkinVersion("1.2");
        source.SetAuthor("Tester");
        source.SetAuthorEMail("t@example.org");
        source.SetAuthorURL("https://example.org/");
        auto piece = std::make_unique<TVxBitmap>();
        piece->SetName("piece/1.bmp");
        piece->SetSize(4, 4);
        piece->Fill(kPlum);
        for (TPixel* corner :
             {piece->PixelPtr(0, 0), piece->PixelPtr(3, 0), piece->PixelPtr(0, 3), piece->PixelPtr(3, 3)}) {
            *corner = kMagenta;
        }
        source.Bitmaps().Add(std::move(piece));
        auto strip = std::make_unique<TVxBitmap>();
        strip->SetName("STRIP.BMP");
        strip->SetSize(3, 1);
        *strip->PixelPtr(0, 0) = 0xFF102030;
        *strip->PixelPtr(1, 0) = 0xFF405060;
        *strip->PixelPtr(2, 0) = 0xFF708090;
        source.Bitmaps().Add(std::move(strip));
        for (const char* text : {kBoxText, kLabelText}) {
            source.AddObject(skin::TSkinObjectPtr(skin::SkinObjectFromText(text, nullptr)));
        }
    }

    std::string MakeSmallSkin(const std::string& name) const {
        skin::TVxSkinSource source(nullptr);
        FillSmallSkin(source);
        SaveSkinFile(PathOf(name), source);
        return PathOf(name);
    }

    int Run(std::vector<std::string> arguments) {
        m_out.str("");
        m_err.str("");
        return RunZapskin(arguments, m_out, m_err);
    }

    // Fails the test unless the last run failed with one line naming file.
    void ExpectFailureOn(const std::string& file, const std::string& words) {
        const std::string err = m_err.str();
        EXPECT_EQ(err.rfind("zapskin: " + file + ": ", 0), 0u) << err;
        EXPECT_NE(err.find(words), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }

    fs::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(SkinCommands, InfoListsHeaderBitmapsAndIndentedTrees) {
    const std::string skinFile = MakeSmallSkin("small.xskn");
    ASSERT_EQ(Run({"info", skinFile}), kExitSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(),
              "Name: Small\nVersion: 1.2\nAuthor: Tester\nAuthorEMail: t@example.org\nAuthorURL: https://example.org/\n"
              "Bitmaps: 2\n  01 piece/1.bmp 4x4\n  02 STRIP.BMP 3x1\n"
              "Objects: 2\n  Box: TVxSkinObject skForm\n    Face: TVxBitmapObject skNone\n"
              "  Label: TVxSkinObject skNone\n");
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(SkinCommands, ConvertChangesTheContainerAndKeepsTheSkin) {
    const std::string original = MakeSmallSkin("small.qskn");
    ASSERT_EQ(Run({"info", original}), kExitSuccess);
    const std::string listing = m_out.str();
    for (const char* name : {"small.uskn", "small.xskn", "small.mskn", "back.qskn"}) {
        const std::string from = fs::exists(PathOf("small.mskn")) ? PathOf("small.mskn") : original;
        ASSERT_EQ(Run({"convert", from, PathOf(name)}), kExitSuccess) << name << ": " << m_err.str();
        ASSERT_EQ(Run({"info", PathOf(name)}), kExitSuccess) << name << ": " << m_err.str();
        EXPECT_EQ(m_out.str(), listing) << name;
    }
    EXPECT_EQ(ReadFile(PathOf("small.qskn")).substr(0, 4), "QSLZ");
    EXPECT_NE(ReadFile(PathOf("small.uskn")).substr(0, 4), "QSLZ");
    // The same envelope as Ultra but the 16-bit payload: the bytes differ, the listing does not.
    EXPECT_NE(ReadFile(PathOf("small.mskn")), ReadFile(PathOf("small.xskn")));
}

TEST_F(SkinCommands, UnpackWritesTheFolderForm) {
    const std::string skinFile = MakeSmallSkin("small.qskn");
    ASSERT_EQ(Run({"unpack", skinFile, PathOf("small") + "/"}), kExitSuccess) << m_err.str();
    EXPECT_EQ(Tree(),
              (std::vector<std::string>{"small", "small.qskn", "small/bitmaps", "small/bitmaps/01_piece%2F1.bmp.png",
                                        "small/bitmaps/02_STRIP.BMP.png", "small/objects", "small/objects/01_Box.txt",
                                        "small/objects/02_Label.txt", "small/skin.txt"}));
    EXPECT_EQ(ReadFile(m_dir / "small/skin.txt"),
              "Name=Small\r\nVersion=1.2\r\nAuthor=Tester\r\nAuthorEMail=t@example.org\r\nAuthorURL=https://"
              "example.org/\r\n");
    const std::string box = ReadFile(m_dir / "small/objects/01_Box.txt");
    EXPECT_EQ(box.rfind("object Box: TVxSkinObject\r\n", 0), 0u) << box;
    EXPECT_NE(box.find("\r\n  object Face: TVxBitmapObject\r\n"), std::string::npos) << box;
    EXPECT_NE(box.find("Bitmap.Name = 'piece/1.bmp'"), std::string::npos) << box;

    // The see-through corners come back as pure opaque magenta, the rest as stored.
    TMemoryStream png;
    png.LoadFromFile((m_dir / "small/bitmaps/01_piece%2F1.bmp.png").string());
    TVxBitmap piece;
    DecodePng(png.Bytes(), piece);
    ASSERT_EQ(piece.Width(), 4);
    ASSERT_EQ(piece.Height(), 4);
    EXPECT_EQ(piece.GetPixel(0, 0), kMagenta);
    EXPECT_EQ(piece.GetPixel(3, 3), kMagenta);
    EXPECT_EQ(piece.GetPixel(1, 1), kPlum);
}

TEST_F(SkinCommands, PackUnpackPackGivesTheSameBytes) {
    const std::string first = MakeSmallSkin("first.qskn");
    ASSERT_EQ(Run({"unpack", first, PathOf("one")}), kExitSuccess) << m_err.str();
    for (const char* extension : {".qskn", ".uskn", ".xskn"}) {
        const std::string packed = PathOf(std::string("packed") + extension);
        const std::string again = PathOf(std::string("again") + extension);
        ASSERT_EQ(Run({"pack", PathOf("one"), packed}), kExitSuccess) << m_err.str();
        const std::string folder = PathOf(std::string("two") + extension);
        ASSERT_EQ(Run({"unpack", packed, folder}), kExitSuccess) << m_err.str();
        ASSERT_EQ(Run({"pack", folder, again}), kExitSuccess) << m_err.str();
        EXPECT_EQ(ReadFile(packed), ReadFile(again)) << extension;
    }
    EXPECT_EQ(ReadFile(PathOf("packed.qskn")), ReadFile(first));
}

// The hue shift passes over alpha-0 pixels and blending weighs the rest: a skin's alpha must
// come back as it was, the key the loader makes of magenta and keys of any alpha alike.
TEST_F(SkinCommands, UnpackThenPackKeepsTheAlphaOfEveryPixel) {
    skin::TVxSkinSource source(nullptr);
    FillSmallSkin(source);
    const std::vector<TPixel> pixels = {0x80405060, 0x00708090, 0x01FFFFFF, 0xFE000000, 0x00000000, 0xC07F007F};
    TVxBitmap& strip = *source.Bitmaps().GetBitmap(1);
    strip.SetSize(static_cast<int32_t>(pixels.size()), 1);
    std::copy(pixels.begin(), pixels.end(), strip.Bits());
    SaveSkinFile(PathOf("alpha.qskn"), source);
    ASSERT_EQ(Run({"unpack", PathOf("alpha.qskn"), PathOf("alpha")}), kExitSuccess) << m_err.str();
    ASSERT_EQ(Run({"pack", PathOf("alpha"), PathOf("again.qskn")}), kExitSuccess) << m_err.str();

    skin::TVxSkinSource again(nullptr);
    LoadSkinFile(PathOf("again.qskn"), again);
    const TVxBitmap& back = *again.Bitmaps().GetBitmap(1);
    EXPECT_EQ(std::vector<TPixel>(back.Bits(), back.Bits() + back.Width()), pixels);
    EXPECT_TRUE(ReadFile(PathOf("again.qskn")) == ReadFile(PathOf("alpha.qskn")));
}

TEST_F(SkinCommands, PackReadsFilesInNumberOrderAndAnyEightBitPng) {
    fs::create_directories(m_dir / "src/bitmaps");
    fs::create_directories(m_dir / "src/objects");
    std::ofstream(m_dir / "src/skin.txt", std::ios::binary) << "Name=Hand made\nAuthor=Me=You\n";
    std::ofstream(m_dir / "src/objects/10_Last.txt", std::ios::binary) << kLabelText;
    std::ofstream(m_dir / "src/objects/9_First.txt", std::ios::binary)
        << "object First: TVxSkinObject\n  Left = 1\nend\n";
    const std::vector<uint8_t> rgba = {1, 2, 3, 0, 4, 5, 6, 255};
    const std::vector<uint8_t> png = EncodePng(2, 1, rgba);
    std::ofstream(m_dir / "src/bitmaps/2_B.PNG", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    std::ofstream(m_dir / "src/bitmaps/01_A%25.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    ASSERT_EQ(Run({"pack", PathOf("src"), PathOf("hand.uskn")}), kExitSuccess) << m_err.str();

    skin::TVxSkinSource source(nullptr);
    LoadSkinFile(PathOf("hand.uskn"), source);
    EXPECT_EQ(source.SkinName(), "Hand made");
    EXPECT_EQ(source.Author(), "Me=You");
    EXPECT_EQ(source.SkinVersion(), "");  // a line left out is empty, not some default
    ASSERT_EQ(source.Bitmaps().Count(), 2);
    EXPECT_EQ(source.Bitmaps().GetBitmap(0)->Name(), "A%");
    EXPECT_EQ(source.Bitmaps().GetBitmap(1)->Name(), "B");
    // A picture's alpha is kept.
    EXPECT_EQ(source.Bitmaps().GetBitmap(0)->GetPixel(0, 0), 0x00010203u);
    EXPECT_EQ(source.Bitmaps().GetBitmap(0)->GetPixel(1, 0), 0xFF040506u);
    ASSERT_EQ(source.Count(), 2);
    EXPECT_EQ(source.GetObject(0)->Name(), "First");
    EXPECT_EQ(source.GetObject(1)->Name(), "Label");
}

TEST_F(SkinCommands, RenderDrawsTheObjectWithTransparentKeyPixels) {
    const std::string skinFile = MakeSmallSkin("small.qskn");
    ASSERT_EQ(Run({"render", skinFile, "box", "40x20", PathOf("box.png"), "--active", "--state", "2"}), kExitSuccess)
        << m_err.str();
    const TRgbaImage box = ReadPicture(PathOf("box.png"));
    ASSERT_EQ(box.Width, 40);
    ASSERT_EQ(box.Height, 20);
    EXPECT_EQ(At(box, 20, 10), kPlum);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{39, 0}, std::pair{0, 19}, std::pair{39, 19}}) {
        EXPECT_EQ(At(box, x, y), 0u) << x << "," << y;
    }

    // The stored object keeps its own size: another picture of another object from the same skin.
    ASSERT_EQ(Run({"render", skinFile, "Label", "3x2", PathOf("label.png")}), kExitSuccess) << m_err.str();
    const TRgbaImage label = ReadPicture(PathOf("label.png"));
    ASSERT_EQ(label.Width, 3);
    ASSERT_EQ(label.Height, 2);
    EXPECT_EQ(At(label, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(At(label, 2, 1), 0xFFFF0000u);
}

TEST_F(SkinCommands, BadInputsFailWithOneLineAndLeaveNoFiles) {
    const std::string skinFile = MakeSmallSkin("small.qskn");
    const std::string missing = PathOf("missing.qskn");

    EXPECT_EQ(Run({"info", missing}), kExitFailure);
    ExpectFailureOn(missing, "No such file");
    std::ofstream(PathOf("small.txt")) << "text";
    EXPECT_EQ(Run({"info", PathOf("small.txt")}), kExitFailure);
    ExpectFailureOn(PathOf("small.txt"), "No skin filter for the extension \".txt\"");
    EXPECT_EQ(Run({"convert", skinFile, PathOf("out.skin")}), kExitFailure);
    ExpectFailureOn(PathOf("out.skin"), "No skin filter");
    EXPECT_EQ(Run({"convert", missing, PathOf("out.uskn")}), kExitFailure);
    ExpectFailureOn(missing, "No such file");
    EXPECT_EQ(Run({"pack", PathOf("nowhere"), PathOf("out.qskn")}), kExitFailure);
    ExpectFailureOn(PathOf("nowhere"), "No such folder");
    EXPECT_EQ(Run({"render", skinFile, "Nobody", "4x4", PathOf("out.png")}), kExitFailure);
    ExpectFailureOn(skinFile, "No top-level object named \"Nobody\"");
    for (const char* size : {"0x5", "5x0", "5", "x5", "5x5x5", "-1x5", "16385x1", "5x 5"}) {
        EXPECT_EQ(Run({"render", skinFile, "Box", size, PathOf("out.png")}), kExitFailure) << size;
        ExpectFailureOn(PathOf("out.png"), std::string("Size \"") + size + "\"");
    }
    EXPECT_EQ(Run({"render", skinFile, "Box", "4x4", PathOf("out.png"), "--state", "256"}), kExitFailure);
    ExpectFailureOn(PathOf("out.png"), "--state takes a number from 0 to 255");
    EXPECT_EQ(Tree(), (std::vector<std::string>{"small.qskn", "small.txt"}));

    // A folder that already holds something is never written into, nor a file in its place.
    fs::create_directories(m_dir / "taken");
    std::ofstream(m_dir / "taken/keep.txt") << "mine";
    EXPECT_EQ(Run({"unpack", skinFile, PathOf("taken")}), kExitFailure);
    ExpectFailureOn(PathOf("taken"), "not empty");
    EXPECT_EQ(Run({"unpack", skinFile, PathOf("small.txt")}), kExitFailure);
    ExpectFailureOn(PathOf("small.txt"), "not a folder");
    EXPECT_EQ(Run({"unpack", missing, PathOf("fresh")}), kExitFailure);
    EXPECT_EQ(Tree(), (std::vector<std::string>{"small.qskn", "small.txt", "taken", "taken/keep.txt"}));
    EXPECT_EQ(ReadFile(m_dir / "taken/keep.txt"), "mine");

    // An empty folder is taken.
    fs::create_directories(m_dir / "empty");
    EXPECT_EQ(Run({"unpack", skinFile, PathOf("empty")}), kExitSuccess) << m_err.str();
    EXPECT_TRUE(fs::exists(m_dir / "empty/skin.txt"));
}

TEST_F(SkinCommands, BrokenFolderNamesTheFileAndKeepsTheOldContainer) {
    const std::string skinFile = MakeSmallSkin("small.qskn");
    const std::string before = ReadFile(skinFile);
    ASSERT_EQ(Run({"unpack", skinFile, PathOf("src")}), kExitSuccess) << m_err.str();
    struct TCase {
        const char* File;
        const char* Bytes;
        const char* Message;
    };
    const TCase cases[] = {
        {"src/bitmaps/02_STRIP.BMP.png", "not a picture", "Not a PNG image"},
        {"src/bitmaps/notes.txt", "", "Not a file named NN_<name>.png"},
        {"src/bitmaps/2_again.png", "", "Has the same number as"},
        {"src/objects/01_Box.txt", "object Box: TNoSuchClass\r\nend\r\n", "TNoSuchClass"},
        {"src/objects/02_Label.txt", "object Label: TVxSkinObject\r\n  Left 1\r\nend\r\n", "Line 2"},
        {"src/skin.txt", "Name=x\r\nColour=red\r\n", "Line 2: Name=, Version="},
    };
    for (const TCase& item : cases) {
        const fs::path file = m_dir / fs::path(item.File).make_preferred();
        const bool existed = fs::exists(file);
        const std::string kept = existed ? ReadFile(file) : std::string();
        std::ofstream(file, std::ios::binary) << item.Bytes;
        EXPECT_EQ(Run({"pack", PathOf("src"), skinFile}), kExitFailure) << item.File;
        ExpectFailureOn(file.string(), item.Message);
        EXPECT_EQ(ReadFile(skinFile), before) << item.File;
        if (existed) {
            std::ofstream(file, std::ios::binary) << kept;
        } else {
            fs::remove(file);
        }
    }
    ASSERT_EQ(Run({"pack", PathOf("src"), skinFile}), kExitSuccess) << m_err.str();
    EXPECT_EQ(ReadFile(skinFile), before);
    EXPECT_EQ(Tree().size(), 9u);  // the container and the eight of the folder, no leftovers
}

TEST_F(SkinCommands, NamePartsSurviveEveryByte) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    for (const std::string& name : {std::string("FRAME.BMP"), std::string("a%41"), std::string("ends. "), all}) {
        const std::string part = EncodeNamePart(name);
        EXPECT_EQ(part.find_first_of("/\\:*?\"<>|"), std::string::npos) << part;
        EXPECT_NE(part.back(), '.');
        EXPECT_EQ(DecodeNamePart(part), name);
    }
    EXPECT_EQ(EncodeNamePart("FRAME.BMP"), "FRAME.BMP");
}

// The build packs the Plum skin from resources/skins/plum.
class PackedPlum : public SkinCommands {};

TEST_F(PackedPlum, LoadsWithItsBitmapsAndTreesAndInfoListsThem) {
    skin::TVxSkinSource source(nullptr);
    LoadSkinFile(ZR_PLUM_SKIN, source);
    EXPECT_EQ(source.SkinName(), "Plum");
    EXPECT_EQ(source.Bitmaps().Count(), 57);
    EXPECT_EQ(source.Count(), 25);
    ASSERT_NE(source.GetObjectByName("Form"), nullptr);

    ASSERT_EQ(Run({"info", ZR_PLUM_SKIN}), kExitSuccess) << m_err.str();
    const std::string listing = m_out.str();
    EXPECT_NE(listing.find("Bitmaps: 57\n  01 FRAMEBOTTOM.BMP 49x10\n"), std::string::npos);
    EXPECT_NE(listing.find("  57 RESIZEGRIP2.BMP 32x17\nObjects: 25\n  Form: TVxSkinObject skForm\n"),
              std::string::npos);
    int topLevel = 0;
    std::istringstream lines(listing.substr(listing.find("Objects: ")));
    for (std::string line; std::getline(lines, line);) {
        topLevel += line.rfind("  ", 0) == 0 && line[2] != ' ' ? 1 : 0;
    }
    EXPECT_EQ(topLevel, 25);
}

TEST_F(PackedPlum, UnpackThenPackGivesTheSameContainer) {
    ASSERT_EQ(Run({"unpack", ZR_PLUM_SKIN, PathOf("plum")}), kExitSuccess) << m_err.str();
    ASSERT_EQ(Run({"pack", PathOf("plum"), PathOf("plum.qskn")}), kExitSuccess) << m_err.str();
    EXPECT_TRUE(ReadFile(PathOf("plum.qskn")) == ReadFile(ZR_PLUM_SKIN));
}

TEST_F(PackedPlum, RenderedFormHasSeeThroughCorners) {
    ASSERT_EQ(Run({"render", ZR_PLUM_SKIN, "form", "200x120", PathOf("form.png"), "--active"}), kExitSuccess)
        << m_err.str();
    const TRgbaImage form = ReadPicture(PathOf("form.png"));
    ASSERT_EQ(form.Width, 200);
    ASSERT_EQ(form.Height, 120);
    EXPECT_EQ(At(form, 0, 0), 0u);
    EXPECT_EQ(At(form, 199, 0), 0u);
    EXPECT_EQ(At(form, 100, 60), 0xFFC0C0C0u);  // the client area in clSilver
}

// The caption goes where a window or control shows it: the frame's title, a group's caption.
TEST_F(PackedPlum, TextLandsOnTheTitleAndTheCaption) {
    auto differs = [&](const std::string& object, const std::string& size) {
        EXPECT_EQ(Run({"render", ZR_PLUM_SKIN, object, size, PathOf("plain.png")}), kExitSuccess) << m_err.str();
        EXPECT_EQ(Run({"render", ZR_PLUM_SKIN, object, size, PathOf("text.png"), "--text", "Caption"}), kExitSuccess)
            << m_err.str();
        return ReadFile(PathOf("plain.png")) != ReadFile(PathOf("text.png"));
    };
    EXPECT_TRUE(differs("Form", "300x120"));
    EXPECT_TRUE(differs("GroupBox", "200x100"));
    EXPECT_TRUE(differs("RadioButton", "195x35"));
}

}  // namespace
}  // namespace zaprelay::zapskin
