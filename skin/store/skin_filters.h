// The skin filters: the four envelopes a skin container comes in (plain, or "QSLZ" and a
// zlib stream at the fastest or the maximum level) and the two payloads inside (bitmaps as
// raw 32-bit pixels and objects as text records, or bitmaps as 16-bit BMP files and objects
// as binary records), and the registry that picks a filter by file extension.
#pragma once

#include "framework/rtl/persistent.h"
#include "skin/store/vx_zstream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zaprelay {
class TStream;
}

namespace zaprelay::skin {

class TVxSkinFilter;
class TVxSkinObject;
class TVxSkinSource;

// The first four bytes of a zlib container (not checked when reading).
inline constexpr char kSkinMagic[] = "QSLZ";
// The largest payload an enveloped container may inflate to; the embedded skin's is about
// half a megabyte.
inline constexpr int64_t kMaxSkinPayload = int64_t{256} << 20;

// What the registry knows of a filter class: its class functions and its constructor.
struct TVxSkinFilterClass {
    std::string_view (*Extension)();  // without the dot
    std::string_view (*Description)();
    std::unique_ptr<TVxSkinFilter> (*Create)();
};

// Reads and writes the standard payload: five header strings, the bitmap records
// (name, width, height, raw pixels) and the objects as text records. Loading and saving
// an envelope is left to the subclasses.
class TVxSkinFilter : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TVxSkinSource* Source() const { return m_source; }
    void SetSource(TVxSkinSource* source) { m_source = source; }  // not owned

    // A payload into Source, which is cleared first; a failure leaves what was read until
    // then. The stream must know its size (every length is checked against what is left).
    // Without a Source nothing happens.
    virtual void ReadSkin(TStream& stream);
    virtual void WriteSkin(TStream& stream);
    // Envelope and payload; the base has no envelope and does nothing.
    virtual void LoadSkin(TStream& stream);
    virtual void SaveSkin(TStream& stream);

    static std::string_view Extension() { return {}; }
    static std::string_view Description() { return {}; }

protected:
    // The bytes after the four magic bytes, inflated into memory so that every length the
    // payload states can be checked against what is really there.
    void LoadEnveloped(TStream& stream);
    void SaveEnveloped(TStream& stream, TCompressionLevel level);
    // Each new top-level object takes the skin's bitmaps and resolves its links.
    void AddObject(TVxSkinObject* object);

private:
    TVxSkinSource* m_source = nullptr;
};

class TVxSkinFilterUncompressed : public TVxSkinFilter {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TVxSkinFilterClass& Class();
    static std::string_view Extension() { return "uskn"; }
    static std::string_view Description() { return "Uncompressed Skin"; }
    void LoadSkin(TStream& stream) override;
    void SaveSkin(TStream& stream) override;
};

class TVxSkinFilterCompressed : public TVxSkinFilter {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TVxSkinFilterClass& Class();
    static std::string_view Extension() { return "qskn"; }
    static std::string_view Description() { return "Compressed Skin"; }
    void LoadSkin(TStream& stream) override;
    void SaveSkin(TStream& stream) override;
};

class TVxSkinFilterUltraCompressed : public TVxSkinFilter {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TVxSkinFilterClass& Class();
    static std::string_view Extension() { return "xskn"; }
    static std::string_view Description() { return "Ultra Compressed Skin"; }
    void LoadSkin(TStream& stream) override;
    void SaveSkin(TStream& stream) override;
};

// The Ultra envelope around the other payload: bitmaps as 16-bit 5-6-5 BMP files (size,
// then the file) and objects as binary records. Nothing in the bytes tells it from an
// Ultra container; only the extension does.
class TVxSkinFilterMaxCompression : public TVxSkinFilterUltraCompressed {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TVxSkinFilterClass& Class();
    static std::string_view Extension() { return "mskn"; }
    static std::string_view Description() { return "Maximum Compressed"; }
    void ReadSkin(TStream& stream) override;
    void WriteSkin(TStream& stream) override;
};

// The program-wide ordered list of filter classes. A class is listed once.
void RegisterSkinFilter(const TVxSkinFilterClass& filterClass);
void UnregisterSkinFilter(const TVxSkinFilterClass& filterClass);
// Uncompressed, Compressed, UltraCompressed, MaxCompression, in that order.
void RegisterStandardSkinFilters();
// The four, last first.
void UnregisterStandardSkinFilters();
// The first registered class whose extension matches the name's (text from its last dot,
// ignoring letter case); none when the name has no extension or none matches.
const TVxSkinFilterClass* FindSkinFilter(std::string_view fileName);
// The Compressed filter.
const TVxSkinFilterClass& DefaultSkinFilter();

}  // namespace zaprelay::skin
