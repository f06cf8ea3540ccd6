#include "skin/store/skin_source.h"

#include "framework/rtl/streams.h"
#include "framework/rtl/strings.h"
#include "skin/store/skin_filters.h"

#include <optional>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

namespace zaprelay::skin {
namespace {

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        folder += '/';
    }
    return folder;
}

// The running program's folder where the system tells it, else the current folder. (The
// Windows program sets its own folder; this serves the tools.)
std::string DefaultProgramFolder() {
    char path[4096];
#ifdef _WIN32
    if (_getcwd(path, sizeof path) != nullptr) {
        return WithSeparator(path);
    }
#else
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        std::string exe(path, static_cast<std::size_t>(length));
        const std::size_t slash = exe.find_last_of('/');
        if (slash != std::string::npos) {
            return exe.substr(0, slash + 1);
        }
    }
    if (getcwd(path, sizeof path) != nullptr) {
        return WithSeparator(path);
    }
#endif
    return {};
}

std::optional<std::string>& Folder() {
    static std::optional<std::string> folder;
    return folder;
}

bool FileExists(const std::string& name) {
    struct stat status {};
    return stat(name.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == S_IFREG;
}

// Names with a drive or a root are never looked for elsewhere.
bool IsRooted(const std::string& name) {
    return (name.size() >= 2 && name[1] == ':') || name[0] == '/' || name[0] == '\\';
}

}  // namespace

void SetProgramFolder(std::string folder) {
    Folder() = WithSeparator(std::move(folder));
}

std::string ProgramFolder() {
    if (!Folder()) {
        Folder() = DefaultProgramFolder();
    }
    return *Folder();
}

TVxSkinSource::TVxSkinSource(TComponent* owner)
    : TComponent(owner),
      m_skinName("Veneer Skin"),
      m_skinVersion("3.3.1"),
      m_author("Unknown author"),
      m_authorEMail("no address"),
      m_authorURL("no address") {}

TVxSkinSource::~TVxSkinSource() {
    Clear();
}

const TClassInfo& TVxSkinSource::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxSkinSource;
        TClassInfo i = NewClassInfo<T, TComponent>("TVxSkinSource");
        TClassBuilder<T>(i)
            .String("SkinName", &T::SkinName, &T::SetSkinName)
            .String("SkinVersion", &T::SkinVersion, &T::SetSkinVersion)
            .String("Author", &T::Author, &T::SetAuthor)
            .String("AuthorEMail", &T::AuthorEMail, &T::SetAuthorEMail)
            .String("AuthorURL", &T::AuthorURL, &T::SetAuthorURL);
        return i;
    }();
    return info;
}

void TVxSkinSource::Clear() {
    // Objects first: their bitmap links point into the bitmaps.
    m_objects.clear();
    m_bitmaps.Clear();
}

TVxSkinObject* TVxSkinSource::GetObjectByName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        TVxSkinObject* object = GetObject(i);
        if (object != nullptr && SameText(object->Name(), name)) {
            return object;
        }
    }
    return nullptr;
}

TVxSkinObject* TVxSkinSource::GetObjectByKind(TVxKind kind) const {
    for (int i = 0; i < Count(); ++i) {
        TVxSkinObject* object = GetObject(i);
        if (object != nullptr && object->Kind() == kind) {
            return object;
        }
    }
    return nullptr;
}

TVxSkinObject* TVxSkinSource::GetFormObject() const {
    if (TVxSkinObject* form = GetObjectByName("Form")) {
        return form;
    }
    return GetObjectByKind(skForm);
}

void TVxSkinSource::ChangeDeltaHue(int32_t value) {
    if (value == m_targetHue) {
        return;
    }
    m_targetHue = value;
    // Modulo 2^32 like the stored values themselves.
    const auto delta = static_cast<int32_t>(static_cast<uint32_t>(value) - static_cast<uint32_t>(m_appliedHue));
    for (int i = 0; i < m_bitmaps.Count(); ++i) {
        m_bitmaps.GetBitmap(i)->ChangeHue(delta);
    }
    for (const TSkinObjectPtr& object : m_objects) {
        object->ChangeHue(delta);
    }
    m_appliedHue = m_targetHue;
}

void TVxSkinSource::LoadFromStream(TStream& stream) {
    std::unique_ptr<TVxSkinFilter> filter = DefaultSkinFilter().Create();
    filter->SetSource(this);
    filter->LoadSkin(stream);
    AfterLoad();
}

void TVxSkinSource::SaveToStream(TStream& stream) {
    std::unique_ptr<TVxSkinFilter> filter = DefaultSkinFilter().Create();
    filter->SetSource(this);
    filter->SaveSkin(stream);
}

void TVxSkinSource::LoadFromFile(const std::string& fileName) {
    if (fileName.empty()) {
        return;
    }
    std::string name = fileName;
    if (!FileExists(name)) {
        if (IsRooted(name)) {
            return;
        }
        name = ProgramFolder() + name;
        if (!FileExists(name)) {
            return;
        }
    }
    const TVxSkinFilterClass* filterClass = FindSkinFilter(name);
    if (filterClass == nullptr) {
        return;
    }
    TFileStream file(name, fmOpenRead);
    std::unique_ptr<TVxSkinFilter> filter = filterClass->Create();
    filter->SetSource(this);
    filter->LoadSkin(file);
    AfterLoad();
}

void TVxSkinSource::SaveToFile(const std::string& fileName) {
    if (fileName.empty()) {
        return;
    }
    const TVxSkinFilterClass* filterClass = FindSkinFilter(fileName);
    if (filterClass == nullptr) {
        filterClass = &DefaultSkinFilter();
    }
    TMemoryStream container;
    std::unique_ptr<TVxSkinFilter> filter = filterClass->Create();
    filter->SetSource(this);
    filter->SaveSkin(container);
    container.SaveToFile(fileName);
}

void TVxSkinSource::AfterLoad() {
    for (const TSkinObjectPtr& object : m_objects) {
        if (TVxSkinObject* client = object->FindObjectByKind(skClient)) {
            client->SetMasked(false);
        }
    }
}

}  // namespace zaprelay::skin
