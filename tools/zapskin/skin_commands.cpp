#include "tools/zapskin/skin_commands.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/raster_canvas.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/ansi_text.h"
#include "skin/objects/skin_object_io.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_source.h"
#include "tools/zapskin/file_failure.h"
#include "tools/zapskin/png_codec.h"
#include "tools/zapskin/skin_file.h"
#include "tools/zapskin/skin_folder.h"

#include <charconv>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace zaprelay::zapskin {
namespace {

using skin::TVxSkinObject;
using skin::TVxSkinSource;

std::string KindName(TVxSkinObject& object) {
    const auto& names = skin::kVxKindNames.Names;
    const auto kind = static_cast<std::size_t>(object.Kind());
    return kind < names.size() ? names[kind] : std::to_string(kind);
}

void WriteTree(std::ostream& out, TVxSkinObject& object, int depth) {
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << object.Name() << ": " << object.ClassName() << " "
        << KindName(object) << "\n";
    for (int i = 0; i < object.ChildCount(); ++i) {
        if (TVxSkinObject* child = object.GetChild(i)) {
            WriteTree(out, *child, depth + 1);
        }
    }
}

bool ParseSide(std::string_view text, int32_t& side) {
    const char* end = text.data() + text.size();
    auto [at, error] = std::from_chars(text.data(), end, side);
    return error == std::errc() && at == end && side >= 1 && side <= kMaxRenderSide;
}

uint8_t ParseState(const std::string& text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || at != end || value > 255) {
        throw Exception("--state takes a number from 0 to 255, not \"" + text + "\"");
    }
    return static_cast<uint8_t>(value);
}

// Key pixels fully transparent, every other pixel opaque.
std::vector<uint8_t> ToTransparentRgba(const TVxBitmap& bitmap) {
    std::vector<uint8_t> rgba;
    const std::size_t count = static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height());
    rgba.reserve(count * 4);
    const TPixel* pixels = bitmap.Bits();
    for (std::size_t i = 0; i < count; ++i) {
        const TPixel p = pixels[i];
        const bool key = IsKeyPixel(p);
        rgba.push_back(key ? 0 : static_cast<uint8_t>(p >> 16));
        rgba.push_back(key ? 0 : static_cast<uint8_t>(p >> 8));
        rgba.push_back(key ? 0 : static_cast<uint8_t>(p));
        rgba.push_back(key ? 0 : 0xFF);
    }
    return rgba;
}

}  // namespace

bool ParseRenderSize(std::string_view text, TRenderSize& size) {
    const std::size_t x = text.find_first_of("xX");
    return x != std::string_view::npos && ParseSide(text.substr(0, x), size.Width) &&
           ParseSide(text.substr(x + 1), size.Height);
}

void RunInfo(const TInvocation& invocation) {
    skin::RegisterSkinClasses();
    TVxSkinSource source(nullptr);
    LoadSkinFile(invocation.Arguments[0], source);
    std::ostringstream out;
    out << "Name: " << source.SkinName() << "\n"
        << "Version: " << source.SkinVersion() << "\n"
        << "Author: " << source.Author() << "\n"
        << "AuthorEMail: " << source.AuthorEMail() << "\n"
        << "AuthorURL: " << source.AuthorURL() << "\n";
    const TVxBitmapList& bitmaps = source.Bitmaps();
    out << "Bitmaps: " << bitmaps.Count() << "\n";
    for (int i = 0; i < bitmaps.Count(); ++i) {
        const TVxBitmap& bitmap = *bitmaps.GetBitmap(i);
        char index[16];
        std::snprintf(index, sizeof index, "%02d", i + 1);
        out << "  " << index << " " << bitmap.Name() << " " << bitmap.Width() << "x" << bitmap.Height() << "\n";
    }
    out << "Objects: " << source.Count() << "\n";
    for (const skin::TSkinObjectPtr& object : source.ObjectList()) {
        WriteTree(out, *object, 1);
    }
    invocation.Out << out.str();
}

void RunConvert(const TInvocation& invocation) {
    skin::RegisterSkinClasses();
    RequireSkinFilter(invocation.Arguments[1]);
    TVxSkinSource source(nullptr);
    LoadSkinFile(invocation.Arguments[0], source);
    SaveSkinFile(invocation.Arguments[1], source);
}

void RunUnpack(const TInvocation& invocation) {
    skin::RegisterSkinClasses();
    TVxSkinSource source(nullptr);
    LoadSkinFile(invocation.Arguments[0], source);
    WriteSkinFolder(source, invocation.Arguments[1]);
}

void RunPack(const TInvocation& invocation) {
    skin::RegisterSkinClasses();
    RequireSkinFilter(invocation.Arguments[1]);
    TVxSkinSource source(nullptr);
    ReadSkinFolder(invocation.Arguments[0], source);
    SaveSkinFile(invocation.Arguments[1], source);
}

void RunRender(const TInvocation& invocation) {
    const std::string& file = invocation.Arguments[0];
    const std::string& objectName = invocation.Arguments[1];
    const std::string& output = invocation.Arguments[3];
    TRenderSize size;
    if (!ParseRenderSize(invocation.Arguments[2], size)) {
        throw EFileFailure(output, "Size \"" + invocation.Arguments[2] + "\" is not WIDTHxHEIGHT with each side 1 to " +
                                       std::to_string(kMaxRenderSide));
    }
    uint8_t state = 0;
    if (auto found = invocation.Options.find("--state"); found != invocation.Options.end()) {
        OnFile(output, [&] { state = ParseState(found->second); });
    }
    const bool active = invocation.Options.contains("--active");
    const auto text = invocation.Options.find("--text");

    skin::RegisterSkinClasses();
    TVxSkinSource source(nullptr);
    LoadSkinFile(file, source);
    // The window sees the skin after these adjustments; so does the picture.
    source.AfterLoad();
    TVxSkinObject* object = source.GetObjectByName(objectName);
    if (object == nullptr) {
        throw EFileFailure(file, "No top-level object named \"" + objectName + "\"");
    }
    TVxBitmap picture;
    OnFile(file, [&] {
        // A copy, so the stored object keeps its own size and state.
        skin::TSkinObjectPtr copy(skin::CloneSkinObject(*object, nullptr));
        if (copy == nullptr) {
            throw Exception("Cannot copy the object \"" + objectName + "\"");
        }
        copy->SetBitmapList(&source.Bitmaps());
        copy->LinkBitmaps();
        if (text != invocation.Options.end()) {
            // Where the hosts put it: a frame's title, a control's "Text", a group's "Caption".
            TVxSkinObject* caption = copy->FindObjectByKind(skin::skTitle);
            for (const char* name : {"Text", "Caption"}) {
                if (caption == nullptr) {
                    caption = copy->FindObject(name);
                }
            }
            (caption != nullptr ? caption : copy.get())->Text = Utf8ToWide(text->second);
        }
        copy->SetBounds(0, 0, size.Width, size.Height);
        copy->SetState(state);
        copy->SetActive(active);
        picture.SetSize(size.Width, size.Height);
        if (picture.Width() != size.Width || picture.Height() != size.Height) {
            throw Exception("Out of memory for the picture");
        }
        picture.Fill(TransparentColor);
        TRasterCanvas canvas(picture);
        copy->Draw(canvas);
    });
    OnFile(output, [&] {
        WriteFileReplacing(output, EncodePng(picture.Width(), picture.Height(), ToTransparentRgba(picture)));
    });
}

}  // namespace zaprelay::zapskin
