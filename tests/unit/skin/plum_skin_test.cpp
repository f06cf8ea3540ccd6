// The Plum skin's editable folder: its object files read with every kind registered, the trees
// the program looks up have the layout, kinds and bitmap links the skin form and controls
// expect, and its bitmaps are the table the links address.
#include "skin/objects/active_object.h"
#include "skin/objects/basic_kinds.h"
#include "skin/objects/composite_kinds.h"
#include "skin/objects/skin_object_io.h"
#include "skin/objects/text_object.h"
#include "tests/support/skin_tree.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

namespace fs = std::filesystem;
using test::Find;
using test::OwnedSkinObject;

const fs::path kPlumDir = ZR_PLUM_DIR;

struct TBitmapEntry {
    const char* Name;
    int32_t Width;
    int32_t Height;
};

// The skin's bitmap table in stream order; links address these names and sizes.
constexpr TBitmapEntry kBitmaps[] = {
    {"FRAMEBOTTOM.BMP", 49, 10},
    {"FRAMECAPTION.BMP", 66, 58},
    {"FRAMELEFT.BMP", 5, 62},
    {"FRAMERIGHT.BMP", 5, 62},
    {"CAPTIONBUTTON.bmp", 21, 168},
    {"CLOSEBUTTON.bmp", 21, 168},
    {"CLOSEGLYPH.BMP", 13, 104},
    {"MAXIMIZEGLYPH.BMP", 13, 104},
    {"RESTOREGLYPH.BMP", 13, 104},
    {"MINIMIZEGLYPH.BMP", 13, 104},
    {"FIELDOUTLINEBLUE.BMP", 14, 7},
    {"MDICAPTIONBUTTON.BMP", 13, 52},
    {"CHECKBOX13.bmp", 13, 156},
    {"SCROLLSHAFTHORIZONTAL.BMP", 17, 68},
    {"SCROLLARROWS.BMP", 17, 272},
    {"SCROLLARROWGLYPHS.BMP", 9, 144},
    {"SCROLLTHUMBGRIPPERHORIZONTAL.BMP", 8, 32},
    {"SCROLLTHUMBHORIZONTAL.BMP", 22, 60},
    {"SCROLLTHUMBVERTICAL.BMP", 15, 88},
    {"SCROLLSHAFTVERTICAL.BMP", 17, 68},
    {"SCROLLTHUMBGRIPPERVERTICAL.BMP", 8, 32},
    {"BUTTON.bmp", 20, 115},
    {"TOOLBARBUTTONS.BMP", 20, 138},
    {"HELPGLYPH.BMP", 13, 104},
    {"GROUPBOX.BMP", 22, 20},
    {"PROGRESSTRACKVERT.BMP", 19, 9},
    {"PROGRESSCHUNK.BMP", 10, 12},
    {"PROGRESSCHUNKVERT.BMP", 12, 10},
    {"SLIDERTRACK.BMP", 5, 5},
    {"TRACKBARHORIZONTAL.BMP", 11, 105},
    {"COMBOBUTTON.BMP", 15, 64},
    {"COMBOBUTTONGLYPH.BMP", 10, 28},
    {"NORMALGROUPBACKGROUND.BMP", 111, 10},
    {"NORMALGROUPHEAD.BMP", 111, 21},
    {"NORMALGROUPCOLLAPSE.BMP", 19, 57},
    {"NORMALGROUPEXPAND.BMP", 19, 57},
    {"TABPANEEDGE.BMP", 48, 48},
    {"TABITEM.BMP", 18, 90},
    {"ROLlDOWNPGLYPH.bmp", 13, 104},
    {"ROLLUPGLYPH.bmp", 13, 104},
    {"TRAYGLYPH.bmp", 13, 104},
    {"MDIGLYPHCLOSE.BMP", 10, 40},
    {"MDIGLYPHMINIMIZE.BMP", 10, 40},
    {"MDIGLYPHRESTORE.BMP", 10, 40},
    {"TRACKBARUP13.BMP", 11, 105},
    {"TRACKBARDOWN13.BMP", 11, 105},
    {"TOOLBARBACKGROUND.BMP", 64, 64},
    {"TOOLBARGRIPPERVERT.BMP", 10, 6},
    {"LISTVIEWHEADER.BMP", 18, 90},
    {"TRACKBARVERTICAL.BMP", 21, 55},
    {"TRACKBARLEFT13.BMP", 21, 55},
    {"TRACKBARRIGHT13.BMP", 21, 55},
    {"RADIOBUTTON13.bmp", 13, 104},
    {"LISTVIEWHEADER.BMP", 18, 90},
    {"STATUSBACKGROUND.BMP", 68, 15},
    {"STATUSPANE.BMP", 3, 15},
    {"RESIZEGRIP2.BMP", 32, 17},
};

constexpr const char* kTopLevel[] = {
    "Form",     "PopupMenu",   "CheckBox",   "RadioButton", "ScrollBar", "Button",    "SpeedButton",
    "GroupBox", "ProgressBar", "TrackBar",   "ListBox",     "Edit",      "ComboBox",  "SpinButton",
    "Panel",    "Tabs",        "Grid",       "Header",      "StatusBar", "ScrollBox", "Splitter",
    "MenuBar",  "Toolbar",     "ControlBar", "Toolbar",
};

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The object's own stored values ("Bitmap.Left" -> "29"), as its text record writes them;
// its children travel in "Objects", which is left out.
std::map<std::string, std::string> OwnValues(TVxSkinObject& object) {
    std::map<std::string, std::string> values;
    std::istringstream lines(test::TreeToText(object));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto at = line.find(" = ");
        if (line.rfind("  ", 0) != 0 || line[2] == ' ' || at == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(2, at - 2);
        if (name != "Objects") {
            values[name] = line.substr(at + 3);
        }
    }
    return values;
}

bool IsLinkName(const std::string& key) {
    return key.find("Bitmap") != std::string::npos && key.size() > 5 && key.ends_with(".Name");
}

// Every object of the tree, depth first in child order, as "Root/Child/...".
void CollectPaths(TVxSkinObject& object, const std::string& prefix, std::vector<std::string>& paths) {
    const std::string path = prefix.empty() ? object.Name() : prefix + "/" + object.Name();
    paths.push_back(path);
    for (int i = 0; i < object.ChildCount(); ++i) {
        CollectPaths(*object.GetChild(i), path, paths);
    }
}

TVxSkinObject* AtPath(TVxSkinObject& root, const std::string& path) {
    std::istringstream parts(path);
    std::string part;
    std::getline(parts, part, '/');
    TVxSkinObject* object = part == root.Name() ? &root : nullptr;
    while (object != nullptr && std::getline(parts, part, '/')) {
        TVxSkinObject* next = nullptr;
        for (int i = 0; i < object->ChildCount() && next == nullptr; ++i) {
            next = object->GetChild(i)->Name() == part ? object->GetChild(i) : nullptr;
        }
        object = next;
    }
    return object;
}

struct TBox {
    int32_t Left, Top, Width, Height;
    bool operator==(const TBox&) const = default;
};

struct TRow {
    std::string Path;
    std::string ClassName;
    TVxAlign Align;
    TVxKind Kind;
    TBox Bounds;
    std::string Links;          // "Prop NAME l t r b", separated by ';'
    std::string Settings = {};  // "Key=Value", separated by ';', as the text record writes them
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, separator)) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

// Names every mismatch of the object against its row; empty when it matches.
std::string RowMismatch(TVxSkinObject& root, const TRow& row) {
    TVxSkinObject* object = AtPath(root, row.Path);
    if (object == nullptr) {
        return row.Path + " is missing";
    }
    std::string errors;
    auto expect = [&](bool ok, const std::string& what) {
        if (!ok) {
            errors += row.Path + ": " + what + "\n";
        }
    };
    expect(object->ClassName() == row.ClassName, "class " + object->ClassName());
    expect(object->Align() == row.Align, "align " + std::to_string(object->Align()));
    expect(object->Kind() == row.Kind, "kind " + std::to_string(object->Kind()));
    const TBox bounds{object->Left(), object->Top(), object->Width(), object->Height()};
    expect(bounds == row.Bounds, "bounds " + std::to_string(bounds.Left) + "," + std::to_string(bounds.Top) + "," +
                                     std::to_string(bounds.Width) + "," + std::to_string(bounds.Height));
    const auto values = OwnValues(*object);
    const auto links = Split(row.Links, ';');
    const auto linkCount =
        std::count_if(values.begin(), values.end(), [](const auto& v) { return IsLinkName(v.first); });
    expect(static_cast<std::size_t>(linkCount) == links.size(), "holds " + std::to_string(linkCount) + " links");
    for (const std::string& link : links) {
        std::istringstream fields(link);
        std::string prop, name, left, top, right, bottom;
        fields >> prop >> name >> left >> top >> right >> bottom;
        const auto value = [&](const char* key) {
            const auto found = values.find(prop + "." + key);
            return found == values.end() ? std::string("(none)") : found->second;
        };
        expect(value("Name") == "'" + name + "'" && value("Left") == left && value("Top") == top &&
                   value("Right") == right && value("Bottom") == bottom,
               prop + " is " + value("Name") + " " + value("Left") + " " + value("Top") + " " + value("Right") + " " +
                   value("Bottom"));
    }
    for (const std::string& setting : Split(row.Settings, ';')) {
        const auto eq = setting.find('=');
        const auto found = values.find(setting.substr(0, eq));
        expect(found != values.end() && found->second == setting.substr(eq + 1),
               setting + " is " + (found == values.end() ? "(default)" : found->second));
    }
    return errors;
}

// Checks the tree against its rows: the same objects in the same depth-first order, each as
// its row says.
void ExpectTree(TVxSkinObject& root, const std::vector<TRow>& rows) {
    std::vector<std::string> paths;
    CollectPaths(root, "", paths);
    std::vector<std::string> expected;
    for (const TRow& row : rows) {
        expected.push_back(row.Path);
        EXPECT_EQ(RowMismatch(root, row), "");
    }
    EXPECT_EQ(paths, expected);
}

std::string StateLinks(const std::string& props,
                       const std::string& name,
                       int width,
                       int height,
                       const std::vector<int>& bands) {
    std::string links;
    const auto names = Split(props, ' ');
    for (std::size_t i = 0; i < names.size(); ++i) {
        links += names[i] + " " + name + " 0 " + std::to_string(bands[i] * height) + " " + std::to_string(width) + " " +
                 std::to_string(bands[i] * height + height) + ";";
    }
    return links;
}

class PlumSkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnregisterSkinObjectClasses();
        RegisterBasicSkinObjectKinds();
        RegisterCompositeSkinObjectKinds();
        for (const fs::path& file : FilesIn(kPlumDir / "objects")) {
            m_files.push_back(file.filename().string());
            m_trees.push_back(test::TreeFromText(ReadFile(file)));
        }
    }
    void TearDown() override {
        m_trees.clear();
        UnregisterSkinObjectClasses();
    }

    TVxSkinObject& Tree(const std::string& name) {
        for (auto& tree : m_trees) {
            if (tree->Name() == name) {
                return *tree;
            }
        }
        throw std::logic_error("no tree " + name);
    }

    std::vector<std::string> m_files;
    std::vector<OwnedSkinObject> m_trees;
};

TEST_F(PlumSkinTest, ObjectFilesHoldTheTwentyFiveTreesInStreamOrder) {
    ASSERT_EQ(m_trees.size(), std::size(kTopLevel));
    for (std::size_t i = 0; i < m_trees.size(); ++i) {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "%02zu_", i + 1);
        EXPECT_EQ(m_files[i], prefix + std::string(kTopLevel[i]) + ".txt");
        EXPECT_EQ(m_trees[i]->Name(), kTopLevel[i]);
        EXPECT_EQ(m_trees[i]->ClassName(), "TVxSkinObject");
        // What is stored reads back the same: nothing in the files is lost or misspelt.
        const std::string text = test::TreeToText(*m_trees[i]);
        EXPECT_EQ(test::TreeToText(*test::TreeFromText(text)), text) << kTopLevel[i];
    }
}

TEST_F(PlumSkinTest, EveryLinkAddressesBandsInsideItsBitmap) {
    std::map<std::string, TBitmapEntry> sizes;
    for (const TBitmapEntry& entry : kBitmaps) {
        sizes[Lower(entry.Name)] = entry;
    }
    int links = 0;
    for (auto& tree : m_trees) {
        std::vector<TVxSkinObject*> pending{tree.get()};
        while (!pending.empty()) {
            TVxSkinObject* object = pending.back();
            pending.pop_back();
            for (int i = 0; i < object->ChildCount(); ++i) {
                pending.push_back(object->GetChild(i));
            }
            auto values = OwnValues(*object);
            for (const auto& [key, value] : values) {
                if (!IsLinkName(key)) {
                    continue;
                }
                const std::string prop = key.substr(0, key.size() - 5);
                const std::string name = value.substr(1, value.size() - 2);
                const std::string where = tree->Name() + "/" + object->Name() + "." + prop;
                ++links;
                if (name == "RADIOBUTTON.BMP") {
                    continue;  // the radio button's focused look names no bitmap and stays unresolved
                }
                const auto found = sizes.find(Lower(name));
                ASSERT_NE(found, sizes.end()) << where << " names " << name;
                const TRect rect{std::stoi(values[prop + ".Left"]), std::stoi(values[prop + ".Top"]),
                                 std::stoi(values[prop + ".Right"]), std::stoi(values[prop + ".Bottom"])};
                EXPECT_TRUE(rect.Left >= 0 && rect.Top >= 0 && rect.Left < rect.Right && rect.Top < rect.Bottom &&
                            rect.Right <= found->second.Width && rect.Bottom <= found->second.Height)
                    << where << " addresses " << rect.Left << "," << rect.Top << "," << rect.Right << "," << rect.Bottom
                    << " of " << name;
            }
        }
    }
    EXPECT_GT(links, 150);
}

TEST_F(PlumSkinTest, FormFrameHasItsPiecesCaptionButtonsAndLayout) {
    const std::string cap = "FRAMECAPTION.BMP";
    std::vector<TRow> rows = {
        {"Form", "TVxSkinObject", saNone, skForm, {0, 0, 375, 247}, "", "Color=clSilver;Masked=False"},
        {"Form/Caption", "TVxSkinObject", saTop, skNone, {0, 0, 375, 29}, ""},
        {"Form/Caption/CaptionLeft",
         "TVxActiveBitmap",
         saLeft,
         skTopLeft,
         {0, 0, 10, 29},
         "Bitmap " + cap + " 0 29 10 58;ActiveBitmap " + cap + " 0 0 10 29",
         "Masked=False"},
        {"Form/Caption/CaptionRight",
         "TVxActiveBitmap",
         saRight,
         skTopRight,
         {365, 0, 10, 29},
         "Bitmap " + cap + " 56 29 66 58;ActiveBitmap " + cap + " 56 0 66 29",
         "Masked=False"},
        {"Form/Caption/Title",
         "TVxActiveBitmap",
         saClient,
         skTitle,
         {10, 0, 355, 29},
         "Bitmap " + cap + " 10 29 57 58;ActiveBitmap " + cap + " 10 0 57 29",
         "TileStyle=tsStretch;Font.Name='Tahoma';Font.Height=-13;Font.Color=clWhite;Font.Style=[fsBold];"
         "TextEffect=teShadow;TextMarginLeft=22;TextMarginTop=4;TextMarginRight=140;Masked=False;DrawIfOwner=True"},
        {"Form/Caption/Title/TopBorder", "TVxBitmapObject", saTop, skTop, {10, 0, 355, 5}, ""},
        {"Form/Caption/ButtonContainer",
         "TVxBitmapObject",
         saTopRight,
         skCaption,
         {167, 5, 204, 21},
         "Bitmap TOOLBARBUTTONS.BMP 0 0 20 23",
         "DrawIfOwner=True"},
    };
    struct TButton {
        const char* Name;
        const char* Action;
        int32_t Left;
        int32_t Width;
        const char* Face;
        const char* Glyph;
    };
    const TButton buttons[] = {
        {"CloseButton", "sbaClose", 350, 21, "CLOSEBUTTON.bmp", "CLOSEGLYPH.BMP"},
        {"RestoreButton", "sbaRestore", 327, 23, "CAPTIONBUTTON.bmp", "RESTOREGLYPH.BMP"},
        {"MaxButton", "sbaMaximize", 304, 23, "CAPTIONBUTTON.bmp", "MAXIMIZEGLYPH.BMP"},
        {"MinButton", "sbaMinimize", 281, 23, "CAPTIONBUTTON.bmp", "MINIMIZEGLYPH.BMP"},
        {"RollDownButton", "sbaRollDown", 258, 23, "CAPTIONBUTTON.bmp", "ROLlDOWNPGLYPH.bmp"},
        {"RollUpButton", "sbaRollUp", 235, 23, "CAPTIONBUTTON.bmp", "ROLLUPGLYPH.bmp"},
        {"TrayButton", "sbaTray", 212, 23, "CAPTIONBUTTON.bmp", "TRAYGLYPH.bmp"},
        {"HelpButton", "sbaHelp", 189, 23, "CAPTIONBUTTON.bmp", "HELPGLYPH.BMP"},
    };
    for (const TButton& b : buttons) {
        const std::string path = std::string("Form/Caption/ButtonContainer/") + b.Name;
        rows.push_back({path,
                        "TVxSystemButton",
                        saRight,
                        skSysButton,
                        {b.Left, 5, b.Width, 21},
                        StateLinks("Bitmap ActiveBitmap BitmapHot BitmapPressed", b.Face, 21, 21, {4, 0, 1, 2}),
                        std::string("TileStyle=tsCenter;Action=") + b.Action});
        const bool close = std::string(b.Name) == "CloseButton";
        rows.push_back({path + "/Glyph",
                        "TVxButtonObject",
                        saCenter,
                        skTranparent,
                        {b.Left + (b.Width - 13) / 2, 9, 13, 13},
                        StateLinks(close ? "Bitmap BitmapHot BitmapPressed BitmapDisabled"
                                         : "Bitmap BitmapHot BitmapFocused BitmapPressed BitmapDisabled",
                                   b.Glyph, 13, 13, close ? std::vector{0, 0, 2, 2} : std::vector{0, 0, 2, 2, 2})});
    }
    const std::vector<TRow> rest = {
        {"Form/Left",
         "TVxActiveBitmap",
         saLeft,
         skLeft,
         {0, 29, 5, 213},
         "Bitmap FRAMELEFT.BMP 0 31 5 61;ActiveBitmap FRAMELEFT.BMP 0 0 5 30",
         "Masked=False"},
        {"Form/Right",
         "TVxActiveBitmap",
         saRight,
         skRight,
         {370, 29, 5, 213},
         "Bitmap FRAMERIGHT.BMP 0 31 5 61;ActiveBitmap FRAMERIGHT.BMP 0 0 5 30",
         "Masked=False"},
        {"Form/Bottom", "TVxSkinObject", saBottom, skNone, {0, 242, 375, 5}, ""},
        {"Form/Bottom/BottomLeft",
         "TVxActiveBitmap",
         saLeft,
         skBottomLeft,
         {0, 242, 5, 5},
         "Bitmap FRAMEBOTTOM.BMP 0 5 5 10;ActiveBitmap FRAMEBOTTOM.BMP 0 0 5 5"},
        {"Form/Bottom/BottomRight",
         "TVxActiveBitmap",
         saRight,
         skBottomRight,
         {370, 242, 5, 5},
         "Bitmap FRAMEBOTTOM.BMP 44 5 49 10;ActiveBitmap FRAMEBOTTOM.BMP 44 0 49 5"},
        {"Form/Bottom/BottomCenter",
         "TVxActiveBitmap",
         saClient,
         skBottom,
         {5, 242, 365, 5},
         "Bitmap FRAMEBOTTOM.BMP 4 5 45 10;ActiveBitmap FRAMEBOTTOM.BMP 4 0 45 5",
         "Masked=False"},
        {"Form/Client",
         "TVxSkinObject",
         saClient,
         skClient,
         {5, 29, 365, 213},
         "",
         "Color=clSilver;Masked=False;DrawIfOwner=True"},
        {"Form/SysMenu", "TVxSystemButton", saTopLeft, skSysButton, {8, 8, 20, 20}, "", "Action=sbaSysMenu"},
    };
    rows.insert(rows.end(), rest.begin(), rest.end());
    TVxSkinObject& form = Tree("Form");
    ExpectTree(form, rows);

    // Widening the frame keeps the buttons at the right edge once it is painted.
    TVxBitmapList bitmaps;
    for (const TBitmapEntry& entry : kBitmaps) {
        bitmaps.Add(test::SolidBitmap(entry.Name, entry.Width, entry.Height, 0xFF808080));
    }
    OwnedSkinObject copy(CloneSkinObject(form, nullptr));
    copy->SetBitmapList(&bitmaps);
    copy->LinkBitmaps();
    copy->SetBounds(0, 0, 500, 247);
    EXPECT_EQ(Find(*copy, "ButtonContainer").Left(), 292);
    test::TTestSurface surface(500, 247);
    copy->Draw(surface.Canvas());
    EXPECT_EQ(Find(*copy, "CloseButton").Left(), 475);
    EXPECT_EQ(Find(*copy, "Right").Left(), 495);
}

TEST_F(PlumSkinTest, ControlTreesHaveTheirMarksTextsAndFrames) {
    auto marks = [](const std::string& root, const std::string& bitmap, bool mixed, const std::string& masked) {
        std::vector<TRow> rows = {{root, "TVxSkinObject", saNone, skNone, {0, 0, 195, 35}, ""}};
        const char* names[] = {"Unchecked", "Checked", "Mixed"};
        for (int i = 0; i < (mixed ? 3 : 2); ++i) {
            std::string links = StateLinks("Bitmap BitmapHot BitmapPressed BitmapDisabled", bitmap, 13, 13,
                                           {4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3});
            if (!mixed && i == 1) {
                links += "BitmapFocused RADIOBUTTON.BMP 0 52 13 65";
            }
            rows.push_back(
                {root + "/" + names[i], "TVxButtonObject", saNone, skNone, {5 + 16 * i, 8, 13, 13}, links, masked});
        }
        rows.push_back({root + "/Text",
                        "TVxTextObject",
                        saNone,
                        skNone,
                        {56, 4, 101, 20},
                        "",
                        "Font.Name='Tahoma';FontHot.Color=clBlack;FontDisabled.Color=clGray;FontHot.Name='Tahoma';"
                        "FontFocused.Name='Tahoma';FontPressed.Name='Tahoma';FontDisabled.Name='Tahoma'"});
        return rows;
    };
    ExpectTree(Tree("CheckBox"), marks("CheckBox", "CHECKBOX13.bmp", true, "Masked=False"));
    ExpectTree(Tree("RadioButton"), marks("RadioButton", "RADIOBUTTON13.bmp", false, ""));
    for (const char* root : {"CheckBox", "RadioButton"}) {
        auto& text = Find<TVxTextObject>(Tree(root), "Text");
        EXPECT_EQ(text.FontFocused().Color(), clWindowText);
        EXPECT_EQ(text.FontPressed().Color(), clWindowText);
        EXPECT_EQ(text.FontDisabled().Height(), -11);
    }

    ExpectTree(Tree("GroupBox"),
               {{"GroupBox", "TVxSkinObject", saNone, skNone, {0, 0, 200, 100}, ""},
                {"GroupBox/Frame",
                 "TVxBitmapObject",
                 saNone,
                 skNone,
                 {8, 15, 183, 77},
                 "Bitmap GROUPBOX.BMP 0 0 22 20",
                 "TileStyle=tsStretch;BorderTileStyle=tsStretch;MarginLeft=4;MarginTop=4;MarginRight=4;MarginBottom=4"},
                {"GroupBox/Caption",
                 "TVxTextObject",
                 saNone,
                 skNone,
                 {15, 7, 79, 20},
                 "",
                 "Color=clNone;Font.Name='Tahoma'"}});
    auto& caption = Find<TVxTextObject>(Tree("GroupBox"), "Caption");
    EXPECT_EQ(caption.Font().Color(), static_cast<TColor>(0xC56931));
    EXPECT_EQ(caption.FontHot().Name(), "MS Sans Serif");
}

TEST_F(PlumSkinTest, MenuTreesHaveTheirItemsFramesAndButtons) {
    const std::string item = "Font.Name='Tahoma';ActiveFont.Name='Tahoma';ActiveFont.Color=clWhite";
    ExpectTree(Tree("PopupMenu"),
               {{"PopupMenu", "TVxSkinObject", saNone, skPopupMenu, {0, 0, 198, 128}, ""},
                {"PopupMenu/Item",
                 "TVxActiveObject",
                 saNone,
                 skNone,
                 {3, 76, 127, 21},
                 "",
                 item + ";TextMarginLeft=20;TextMarginRight=10"},
                {"PopupMenu/Frame",
                 "TVxBitmapObject",
                 saNone,
                 skPopupMenu,
                 {2, 2, 170, 66},
                 "Bitmap FIELDOUTLINEBLUE.BMP 0 0 7 7",
                 "TileStyle=tsStretch;MarginLeft=3;MarginTop=3;MarginRight=3;MarginBottom=3;Masked=False"}});

    const std::string face = "Bitmap BitmapHot BitmapFocused BitmapPressed BitmapDisabled";
    const std::string glyph = "Bitmap BitmapHot BitmapPressed BitmapDisabled";
    const std::string stretched = "TileStyle=tsStretch;BorderTileStyle=tsStretch";
    std::vector<TRow> rows = {
        {"MenuBar", "TVxSkinObject", saNone, skNone, {0, 0, 210, 86}, ""},
        {"MenuBar/Frame", "TVxSkinObject", saNone, skMenuBar, {0, 0, 179, 21}, "", "DrawIfOwner=True"},
        {"MenuBar/Item",
         "TVxActiveObject",
         saNone,
         skMenuBarItem,
         {0, 28, 84, 21},
         "",
         item + ";TextMarginLeft=5;TextMarginRight=5"},
    };
    const std::pair<const char*, const char*> mdi[] = {
        {"Restore", "MDIGLYPHRESTORE.BMP"}, {"Min", "MDIGLYPHMINIMIZE.BMP"}, {"Close", "MDIGLYPHCLOSE.BMP"}};
    int32_t left = 87;
    for (const auto& [name, bitmap] : mdi) {
        rows.push_back({std::string("MenuBar/") + name,
                        "TVxButtonObject",
                        saNone,
                        skNone,
                        {left, 29, 21, 19},
                        StateLinks(face, "MDICAPTIONBUTTON.BMP", 13, 13, {0, 1, 2, 2, 3}),
                        stretched + ";MarginLeft=2;MarginTop=2;MarginRight=2;MarginBottom=2"});
        rows.push_back({std::string("MenuBar/") + name + "/Glyph",
                        "TVxButtonObject",
                        saCenter,
                        skTranparent,
                        {left + 5, 33, 10, 10},
                        StateLinks(glyph, bitmap, 10, 10, {0, 1, 2, 3})});
        left += 25;
    }
    rows.push_back({"MenuBar/ToolbarFrame",
                    "TVxBitmapObject",
                    saNone,
                    skNone,
                    {0, 53, 187, 25},
                    "Bitmap TOOLBARBACKGROUND.BMP 0 0 64 64",
                    stretched});
    rows.push_back({"MenuBar/ToolbarItem",
                    "TVxButtonObject",
                    saNone,
                    skNone,
                    {5, 56, 59, 21},
                    StateLinks(face, "TOOLBARBUTTONS.BMP", 20, 23, {0, 1, 2, 2, 2}),
                    stretched + ";MarginLeft=5;MarginTop=5;MarginRight=5;MarginBottom=5;TextMarginLeft=5;"
                                "TextMarginRight=5"});
    ExpectTree(Tree("MenuBar"), rows);
    for (const char* root : {"PopupMenu", "MenuBar"}) {
        EXPECT_EQ(Find<TVxActiveObject>(Tree(root), "Item").ActiveColor(), static_cast<TColor>(0xC56931)) << root;
    }
}

// Width and height are big-endian words at bytes 16..23 of the header chunk.
uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    }
    return value;
}

TEST(PlumSkinBitmaps, FilesFollowTheTableInNameOrderAndSize) {
    const auto files = FilesIn(kPlumDir / "bitmaps");
    ASSERT_EQ(files.size(), std::size(kBitmaps));
    for (std::size_t i = 0; i < files.size(); ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%02zu_%s.png", i + 1, kBitmaps[i].Name);
        EXPECT_EQ(files[i].filename().string(), expected);
        const std::string bytes = ReadFile(files[i]);
        ASSERT_GE(bytes.size(), 33u) << expected;
        EXPECT_EQ(bytes.substr(1, 3), "PNG") << expected;
        EXPECT_EQ(bytes.substr(12, 4), "IHDR") << expected;
        EXPECT_EQ(BigEndian(bytes, 16), static_cast<uint32_t>(kBitmaps[i].Width)) << expected;
        EXPECT_EQ(BigEndian(bytes, 20), static_cast<uint32_t>(kBitmaps[i].Height)) << expected;
        // 8-bit RGB: opaque, magenta marks what the loader keys
        EXPECT_EQ(static_cast<int>(bytes[24]), 8) << expected;
        EXPECT_EQ(static_cast<int>(bytes[25]), 2) << expected;
    }
}

}  // namespace
}  // namespace zaprelay::skin
