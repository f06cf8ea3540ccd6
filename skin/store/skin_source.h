// TVxSkinSource: a loaded skin in memory (its header texts, its named bitmaps and its
// top-level skin objects), loaded and saved through the skin filters.
#pragma once

#include "framework/graphics/bitmap_link.h"
#include "framework/rtl/component.h"
#include "skin/objects/skin_object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zaprelay {
class TStream;
}

namespace zaprelay::skin {

// Top-level skin objects have no owner; they are freed the component way.
struct TSkinObjectFree {
    void operator()(TVxSkinObject* object) const { object->Free(); }
};
using TSkinObjectPtr = std::unique_ptr<TVxSkinObject, TSkinObjectFree>;

// The folder beside which relative skin files are also looked for, with a trailing
// separator. The Win32 start-up sets the executable's folder; natively it defaults to the
// folder of /proc/self/exe, or to the current folder when that is unknown.
void SetProgramFolder(std::string folder);
std::string ProgramFolder();

class TVxSkinSource : public TComponent {
public:
    explicit TVxSkinSource(TComponent* owner);
    ~TVxSkinSource() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // ---- header texts (published)
    const std::string& SkinName() const { return m_skinName; }
    void SetSkinName(const std::string& value) { m_skinName = value; }
    const std::string& SkinVersion() const { return m_skinVersion; }
    void SetSkinVersion(const std::string& value) { m_skinVersion = value; }
    const std::string& Author() const { return m_author; }
    void SetAuthor(const std::string& value) { m_author = value; }
    const std::string& AuthorEMail() const { return m_authorEMail; }
    void SetAuthorEMail(const std::string& value) { m_authorEMail = value; }
    const std::string& AuthorURL() const { return m_authorURL; }
    void SetAuthorURL(const std::string& value) { m_authorURL = value; }

    // ---- content
    // Frees every bitmap and every top-level object; the header texts stay.
    void Clear();
    // Top-level objects; the source holds a skin when there is at least one.
    int Count() const { return static_cast<int>(m_objects.size()); }
    const std::vector<TSkinObjectPtr>& ObjectList() const { return m_objects; }
    void AddObject(TSkinObjectPtr object) { m_objects.push_back(std::move(object)); }
    TVxBitmapList& Bitmaps() { return m_bitmaps; }
    const TVxBitmapList& Bitmaps() const { return m_bitmaps; }

    // Set by the engine while it replaces the skin; the lookups then find nothing.
    bool Updating() const { return m_updating; }
    void SetUpdating(bool value) { m_updating = value; }

    // ---- lookups (top-level objects only)
    // None outside 0 .. Count() - 1 and while Updating. Inline: <windows.h> renames
    // GetObject in Win32 files, and an inline body is renamed with its callers.
    TVxSkinObject* GetObject(int index) const {
        if (m_updating || index < 0 || index >= Count()) {
            return nullptr;
        }
        return m_objects[static_cast<std::size_t>(index)].get();
    }
    // The first whose Name matches ignoring letter case.
    TVxSkinObject* GetObjectByName(std::string_view name) const;
    // The first whose own Kind is kind.
    TVxSkinObject* GetObjectByKind(TVxKind kind) const;
    // "Form", else the first of kind skForm.
    TVxSkinObject* GetFormObject() const;

    // ---- hue
    // Brings bitmaps and objects to the hue offset value. Shifts accumulate on the loaded
    // pixels and colours, by the difference to what was applied before.
    void ChangeDeltaHue(int32_t value);
    int32_t TargetHue() const { return m_targetHue; }
    int32_t AppliedHue() const { return m_appliedHue; }
    // A skin just loaded has its own colours: no shift is applied to it yet.
    void ResetHue() { m_targetHue = m_appliedHue = 0; }

    // ---- loading and saving
    // Through the default filter (the Compressed container).
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    // The filter comes from the extension. A missing file, or one whose extension no
    // registered filter has, is not loaded and raises nothing. A relative name missing
    // from the current folder is looked for in ProgramFolder().
    void LoadFromFile(const std::string& fileName);
    // The filter comes from the extension, else the default one. The container is made in
    // memory first, so a failure leaves an existing file as it was.
    void SaveToFile(const std::string& fileName);
    // Once loaded: the first skClient object of each top-level tree is not masked, so the
    // client area is always part of the window's shape.
    void AfterLoad();

private:
    std::string m_skinName;
    std::string m_skinVersion;
    std::string m_author;
    std::string m_authorEMail;
    std::string m_authorURL;
    std::vector<TSkinObjectPtr> m_objects;
    TVxBitmapList m_bitmaps;
    bool m_updating = false;
    int32_t m_targetHue = 0;
    int32_t m_appliedHue = 0;
};

}  // namespace zaprelay::skin
