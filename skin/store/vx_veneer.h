// The skin engine: the component that owns the program's current skin, fills it from the
// form's own data, a skin file or a skin list entry, shifts its hue, and announces every
// change so that skinned forms and controls drop and rebuild their copies of skin objects.
// TVxSkinList keeps several skins in a form's data for an engine to switch between.
#pragma once

#include "framework/rtl/collection.h"
#include "framework/rtl/component.h"
#include "framework/rtl/reflection.h"
#include "skin/store/skin_source.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zaprelay::skin {

class TVxSkinList;

// The version the engine and list report; writes are ignored.
inline constexpr char kSkinLibraryVersion[] = "3.3.1";

// "Version" as the skin library's components other than the engine publish it: it reads the
// library's version, ignores writes and is never stored.
template <typename T>
void PublishSkinVersion(TClassBuilder<T>& b) {
    b.String(
         "Version", [](const T&) { return std::string(kSkinLibraryVersion); }, [](T&, const std::string&) {})
        .NotStored();
}

// The first byte of the stored skin data: none follows, or the Compressed container does
// (the engine writes 2, a skin list entry 1; both read alike).
inline constexpr uint8_t kNoSkinMarker = 0;
inline constexpr uint8_t kListSkinMarker = 1;
inline constexpr uint8_t kEngineSkinMarker = 2;

class TVxVeneer : public TComponent {
public:
    explicit TVxVeneer(TComponent* owner);
    ~TVxVeneer() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    // "SkinStream": the skin itself, written only while no list entry is in use.
    void DeclareProperties(TPropertyDeclarations& declarations) override;
    // Reports a skin read with the form to OnAfterChange, then applies the list entry (the
    // list reference is known only now).
    void AfterRead() override;

    TVxSkinSource& SkinSource() { return *m_source; }

    int32_t DeltaHue() const { return m_deltaHue; }
    // Recolours a loaded skin, announced; the same value again does nothing.
    void SetDeltaHue(int32_t value);
    const std::string& SkinFile() const { return m_skinFile; }
    // Loads the file (beside the program when relative and not found here); a file that
    // cannot be loaded leaves no skin, and the change is announced all the same.
    void SetSkinFile(const std::string& value);
    TVxSkinList* SkinList() const { return m_skinList; }
    void SetSkinList(TVxSkinList* value);
    int32_t SkinIndex() const { return m_skinIndex; }
    // Loads that entry of the list (the last one when beyond it); negative keeps the skin.
    void SetSkinIndex(int32_t value);
    bool SkinStoreCompression() const { return m_skinStoreCompression; }
    void SetSkinStoreCompression(bool value) { m_skinStoreCompression = value; }

    // Announces a change to come and one that happened (the events, then every form).
    void BeforeChange();
    void AfterChange();

    TNotifyEvent OnBeforeChange;
    TNotifyEvent OnAfterChange;

private:
    void ReadSkinStream(TStream& stream);
    void WriteSkinStream(TStream& stream);
    // Replaces the skin by what load puts into the source, announced as one change. A load
    // that fails still ends the change (no skin then) before the error goes on.
    template <typename Load>
    void ReplaceSkin(Load&& load);

    std::unique_ptr<TVxSkinSource> m_source;
    int32_t m_deltaHue = 0;
    std::string m_skinFile;
    TVxSkinList* m_skinList = nullptr;
    int32_t m_skinIndex = -1;
    bool m_skinStoreCompression = false;
    bool m_busy = false;
};

// One skin of a list: its own source, stored as "SkinStream" data.
class TVxSkinStream : public TCollectionItem {
public:
    explicit TVxSkinStream(TCollection& collection);
    ~TVxSkinStream() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void DeclareProperties(TPropertyDeclarations& declarations) override;
    void CopyFrom(const TPersistent& source) override;
    // The skin's name, or "(empty)".
    std::string DisplayName() const override;

    TVxSkinSource& SkinSource() { return *m_source; }
    const TVxSkinSource& SkinSource() const { return *m_source; }
    int32_t Tag() const { return m_tag; }
    void SetTag(int32_t value) { m_tag = value; }

private:
    std::unique_ptr<TVxSkinSource> m_source;
    int32_t m_tag = 0;
};

class TVxSkinCollection : public TCollection {
public:
    explicit TVxSkinCollection(TVxSkinList& owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    TVxSkinStream* Items(int index) const { return static_cast<TVxSkinStream*>(TCollection::Items(index)); }
};

class TVxSkinList : public TComponent {
public:
    explicit TVxSkinList(TComponent* owner);
    ~TVxSkinList() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TVxSkinCollection& Skins() { return *m_skins; }
    void SetSkins(const TVxSkinCollection& value) { m_skins->CopyFrom(value); }

private:
    std::unique_ptr<TVxSkinCollection> m_skins;
};

}  // namespace zaprelay::skin
