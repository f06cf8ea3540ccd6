#include "tools/zapskin/skin_folder.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/streams.h"
#include "skin/objects/skin_object_text.h"
#include "tools/zapskin/file_failure.h"
#include "tools/zapskin/png_codec.h"
#include "tools/zapskin/zapskin_commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace zaprelay::zapskin {
namespace {

namespace fs = std::filesystem;

constexpr char kHeaderFile[] = "skin.txt";
constexpr char kBitmapFolder[] = "bitmaps";
constexpr char kObjectFolder[] = "objects";
constexpr char kHexDigits[] = "0123456789ABCDEF";

struct THeaderField {
    const char* Key;
    const std::string& (skin::TVxSkinSource::*Get)() const;
    void (skin::TVxSkinSource::*Set)(const std::string&);
};

constexpr std::array<THeaderField, 5> kHeaderFields = {{
    {"Name", &skin::TVxSkinSource::SkinName, &skin::TVxSkinSource::SetSkinName},
    {"Version", &skin::TVxSkinSource::SkinVersion, &skin::TVxSkinSource::SetSkinVersion},
    {"Author", &skin::TVxSkinSource::Author, &skin::TVxSkinSource::SetAuthor},
    {"AuthorEMail", &skin::TVxSkinSource::AuthorEMail, &skin::TVxSkinSource::SetAuthorEMail},
    {"AuthorURL", &skin::TVxSkinSource::AuthorURL, &skin::TVxSkinSource::SetAuthorURL},
}};

bool KeepsInFileName(unsigned char c) {
    return c >= 0x20 && c < 0x7F &&
           std::string_view("\\/:*?\"<>|%").find(static_cast<char>(c)) == std::string_view::npos;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string Numbered(std::size_t index, const std::string& part, const char* extension) {
    char number[24];
    std::snprintf(number, sizeof number, "%02zu_", index + 1);
    return number + part + extension;
}

std::span<const uint8_t> AsBytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Skin pixels as PNG rows, alpha included. The key the loader makes of magenta goes back as
// pure opaque magenta, which an author sees and the loader keys again; any other pixel, a key
// with some other alpha among them, goes as it is, so packing gives the same pixels back.
std::vector<uint8_t> ToRgba(const TVxBitmap& bitmap) {
    std::vector<uint8_t> rgba;
    const std::size_t count = static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height());
    rgba.reserve(count * 4);
    const TPixel* pixels = bitmap.Bits();
    for (std::size_t i = 0; i < count; ++i) {
        const TPixel p = pixels[i] == TransparentColor ? 0xFFFF00FFu : pixels[i];
        rgba.push_back(static_cast<uint8_t>(p >> 16));
        rgba.push_back(static_cast<uint8_t>(p >> 8));
        rgba.push_back(static_cast<uint8_t>(p));
        rgba.push_back(static_cast<uint8_t>(p >> 24));
    }
    return rgba;
}

std::string HeaderText(const skin::TVxSkinSource& source) {
    std::string text;
    for (const THeaderField& field : kHeaderFields) {
        const std::string& value = (source.*field.Get)();
        if (value.find_first_of("\r\n") != std::string::npos) {
            throw Exception(std::string("The skin's ") + field.Key + " holds a line break, which " + kHeaderFile +
                            " cannot keep");
        }
        text += std::string(field.Key) + "=" + value + "\r\n";
    }
    return text;
}

void WriteFolderContents(const skin::TVxSkinSource& source, const fs::path& folder) {
    WriteFileReplacing((folder / kHeaderFile).string(), AsBytes(HeaderText(source)));
    fs::create_directory(folder / kBitmapFolder);
    fs::create_directory(folder / kObjectFolder);
    const TVxBitmapList& bitmaps = source.Bitmaps();
    for (int i = 0; i < bitmaps.Count(); ++i) {
        const TVxBitmap& bitmap = *bitmaps.GetBitmap(i);
        const std::string name = Numbered(static_cast<std::size_t>(i), EncodeNamePart(bitmap.Name()), ".png");
        if (bitmap.Empty()) {
            throw Exception("Bitmap " + std::to_string(i + 1) + " \"" + bitmap.Name() +
                            "\" has no pixels; a PNG picture cannot be empty");
        }
        WriteFileReplacing((folder / kBitmapFolder / name).string(),
                           EncodePng(bitmap.Width(), bitmap.Height(), ToRgba(bitmap)));
    }
    const auto& objects = source.ObjectList();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const std::string name = Numbered(i, EncodeNamePart(objects[i]->Name()), ".txt");
        WriteFileReplacing((folder / kObjectFolder / name).string(), AsBytes(skin::SkinObjectToText(*objects[i])));
    }
}

// A folder path without a trailing separator, so that "DIR/" gets its temporary folder beside
// it and not inside.
fs::path FolderPath(const std::string& dir) {
    fs::path path(dir);
    if (!path.has_filename() && path.has_parent_path()) {
        path = path.parent_path();
    }
    return path;
}

struct TNumberedFile {
    uint32_t Number = 0;
    fs::path Path;
    std::string Part;  // between "NN_" and the extension, as in the file name
};

bool EndsWithIgnoringCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) {
        return false;
    }
    return std::equal(tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()),
                      [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

// The NN_<part><extension> files of a folder in number order; none when the folder is missing.
std::vector<TNumberedFile> NumberedFiles(const fs::path& folder, std::string_view extension) {
    std::vector<TNumberedFile> files;
    std::error_code error;
    if (!fs::exists(folder, error)) {
        return files;
    }
    if (!fs::is_directory(folder, error)) {
        throw EFileFailure(folder.string(), "Not a folder");
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const std::size_t underscore = name.find('_');
        TNumberedFile file;
        file.Path = entry.path();
        bool numbered = underscore != std::string::npos && underscore > 0 && underscore <= 9 &&
                        EndsWithIgnoringCase(name, extension) && name.size() >= underscore + 1 + extension.size();
        for (std::size_t i = 0; numbered && i < underscore; ++i) {
            numbered = name[i] >= '0' && name[i] <= '9';
            file.Number = file.Number * 10 + static_cast<uint32_t>(name[i] - '0');
        }
        if (!numbered || !entry.is_regular_file()) {
            throw EFileFailure(entry.path().string(),
                               "Not a file named NN_<name>" + std::string(extension) + " (NN: its place, from 01)");
        }
        file.Part = name.substr(underscore + 1, name.size() - underscore - 1 - extension.size());
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(),
              [](const TNumberedFile& a, const TNumberedFile& b) { return a.Number < b.Number; });
    for (std::size_t i = 1; i < files.size(); ++i) {
        if (files[i].Number == files[i - 1].Number) {
            throw EFileFailure(files[i].Path.string(),
                               "Has the same number as " + files[i - 1].Path.filename().string());
        }
    }
    return files;
}

std::string ReadText(const fs::path& path) {
    TMemoryStream bytes;
    bytes.LoadFromFile(path.string());
    return std::string(bytes.Bytes().begin(), bytes.Bytes().end());
}

void ReadHeader(const fs::path& path, skin::TVxSkinSource& source) {
    const std::string text = ReadText(path);
    // A line left out stands for an empty text, whatever a new source starts with.
    for (const THeaderField& field : kHeaderFields) {
        (source.*field.Set)(std::string());
    }
    std::size_t begin = 0;
    for (int line = 1; begin < text.size(); ++line) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string row = text.substr(begin, end - begin);
        begin = end + 1;
        if (!row.empty() && row.back() == '\r') {
            row.pop_back();
        }
        if (row.empty()) {
            continue;
        }
        const std::size_t equals = row.find('=');
        const std::string key = row.substr(0, equals);
        const auto field = std::find_if(kHeaderFields.begin(), kHeaderFields.end(),
                                        [&](const THeaderField& f) { return key == f.Key; });
        if (equals == std::string::npos || field == kHeaderFields.end()) {
            throw Exception("Line " + std::to_string(line) +
                            ": Name=, Version=, Author=, AuthorEMail= or AuthorURL= expected");
        }
        (source.*field->Set)(row.substr(equals + 1));
    }
}

}  // namespace

std::string EncodeNamePart(std::string_view name) {
    std::string part;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (KeepsInFileName(byte)) {
            part += c;
        } else {
            part += '%';
            part += kHexDigits[byte >> 4];
            part += kHexDigits[byte & 0x0F];
        }
    }
    // Windows drops a trailing dot or blank from a file name.
    if (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
        const auto byte = static_cast<unsigned char>(part.back());
        part.pop_back();
        part += '%';
        part += kHexDigits[byte >> 4];
        part += kHexDigits[byte & 0x0F];
    }
    return part;
}

std::string DecodeNamePart(std::string_view part) {
    std::string name;
    for (std::size_t i = 0; i < part.size(); ++i) {
        if (part[i] == '%' && i + 2 < part.size() && HexValue(part[i + 1]) >= 0 && HexValue(part[i + 2]) >= 0) {
            name += static_cast<char>(HexValue(part[i + 1]) * 16 + HexValue(part[i + 2]));
            i += 2;
        } else {
            name += part[i];
        }
    }
    return name;
}

void WriteSkinFolder(const skin::TVxSkinSource& source, const std::string& dir) {
    const fs::path target = FolderPath(dir);
    std::error_code error;
    const bool exists = fs::exists(target, error);
    if (exists && !fs::is_directory(target, error)) {
        throw EFileFailure(dir, "Exists and is not a folder");
    }
    if (exists && !fs::is_empty(target, error)) {
        throw EFileFailure(dir, "The folder is not empty; unpack makes a new folder");
    }
    fs::path temporary = target;
    temporary += ".tmp";
    for (int n = 1; fs::exists(temporary, error); ++n) {
        temporary = target;
        temporary += ".tmp" + std::to_string(n);
    }
    if (!fs::create_directory(temporary, error)) {
        throw EFileFailure(dir, "Cannot create a folder beside it (" + error.message() + ")");
    }
    try {
        OnFile(dir, [&] {
            WriteFolderContents(source, temporary);
            if (exists) {
                fs::remove(target);
            }
            fs::rename(temporary, target);
        });
    } catch (...) {
        fs::remove_all(temporary, error);
        throw;
    }
}

void ReadSkinFolder(const std::string& dir, skin::TVxSkinSource& source) {
    const fs::path folder = FolderPath(dir);
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        throw EFileFailure(dir, fs::exists(folder, error) ? "Not a folder" : "No such folder");
    }
    const fs::path header = folder / kHeaderFile;
    if (!fs::is_regular_file(header, error)) {
        throw EFileFailure(header.string(), "No such file; a skin folder starts with its header");
    }
    const std::vector<TNumberedFile> bitmapFiles = NumberedFiles(folder / kBitmapFolder, ".png");
    const std::vector<TNumberedFile> objectFiles = NumberedFiles(folder / kObjectFolder, ".txt");
    source.Clear();
    OnFile(header.string(), [&] { ReadHeader(header, source); });
    for (const TNumberedFile& file : bitmapFiles) {
        OnFile(file.Path.string(), [&] {
            TMemoryStream bytes;
            bytes.LoadFromFile(file.Path.string());
            auto bitmap = std::make_unique<TVxBitmap>();
            DecodePng(bytes.Bytes(), *bitmap);
            bitmap->SetName(DecodeNamePart(file.Part));
            source.Bitmaps().Add(std::move(bitmap));
        });
    }
    for (const TNumberedFile& file : objectFiles) {
        OnFile(file.Path.string(), [&] {
            skin::TSkinObjectPtr object(skin::SkinObjectFromText(ReadText(file.Path), nullptr));
            if (object == nullptr) {
                throw Exception("No skin object in the file");
            }
            object->SetBitmapList(&source.Bitmaps());
            object->LinkBitmaps();
            source.AddObject(std::move(object));
        });
    }
}

}  // namespace zaprelay::zapskin
