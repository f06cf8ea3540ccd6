#include "skin/store/vx_veneer.h"

#include "framework/rtl/streams.h"
#include "skin/objects/skin_messages.h"
#include "skin/store/skin_announcer.h"

namespace zaprelay::skin {

namespace {

TVxSkinAnnouncer*& Announcer() {
    static TVxSkinAnnouncer* announcer = nullptr;
    return announcer;
}

// The stored skin data: a marker, then the Compressed container when a skin follows.
void WriteSkinData(TStream& stream, TVxSkinSource& source, uint8_t marker) {
    const uint8_t written = source.Count() > 0 ? marker : kNoSkinMarker;
    stream.WriteBuffer(&written, 1);
    if (written != kNoSkinMarker) {
        source.SaveToStream(stream);
    }
}

// True when a skin was read.
bool ReadSkinData(TStream& stream, TVxSkinSource& source) {
    uint8_t marker = 0;
    stream.ReadBuffer(&marker, 1);
    if (marker == kNoSkinMarker) {
        return false;
    }
    source.LoadFromStream(stream);
    return true;
}

}  // namespace

TVxSkinAnnouncer* SetSkinAnnouncer(TVxSkinAnnouncer* announcer) {
    TVxSkinAnnouncer* old = Announcer();
    Announcer() = announcer;
    return old;
}

TVxSkinAnnouncer* SkinAnnouncer() {
    return Announcer();
}

// ---- TVxVeneer

TVxVeneer::TVxVeneer(TComponent* owner) : TComponent(owner), m_source(std::make_unique<TVxSkinSource>(this)) {}

TVxVeneer::~TVxVeneer() = default;

const TClassInfo& TVxVeneer::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxVeneer;
        TClassInfo i = NewClassInfo<T, TComponent>("TVxVeneer");
        TClassBuilder<T>(i)
            .Integer("DeltaHue", &T::DeltaHue, &T::SetDeltaHue)
            .String("SkinFile", &T::SkinFile, &T::SetSkinFile)
            .Component(
                "SkinList", [](const T& o) -> TComponent* { return o.SkinList(); },
                [](T& o, TComponent* c) { o.SetSkinList(dynamic_cast<TVxSkinList*>(c)); })
            .Integer("SkinIndex", &T::SkinIndex, &T::SetSkinIndex, -1)
            .String(
                "SkinStore", [](const T&) { return std::string("(none)"); }, [](T&, const std::string&) {})
            .Boolean("SkinStoreCompression", &T::SkinStoreCompression, &T::SetSkinStoreCompression, false)
            .String(
                "Version", [](const T&) { return std::string(kSkinLibraryVersion); }, [](T&, const std::string&) {})
            .Event("OnAfterChange", &T::OnAfterChange)
            .Event("OnBeforeChange", &T::OnBeforeChange)
            .Creatable();
        return i;
    }();
    return info;
}

void TVxVeneer::DeclareProperties(TPropertyDeclarations& declarations) {
    TComponent::DeclareProperties(declarations);
    declarations.DefineBinaryProperty(
        "SkinStream", [this](TStream& stream) { ReadSkinStream(stream); },
        [this](TStream& stream) { WriteSkinStream(stream); }, m_skinIndex == -1);
}

void TVxVeneer::ReadSkinStream(TStream& stream) {
    if (ReadSkinData(stream, *m_source)) {
        m_skinFile.clear();
        // The hue stored with the form was read first; the skin takes it now.
        m_source->ResetHue();
        m_source->ChangeDeltaHue(m_deltaHue);
    }
}

void TVxVeneer::WriteSkinStream(TStream& stream) {
    WriteSkinData(stream, *m_source, kEngineSkinMarker);
}

void TVxVeneer::AfterRead() {
    TComponent::AfterRead();
    if (OnAfterChange && m_source->Count() > 0) {
        OnAfterChange(this);
    }
    if (m_skinList != nullptr && m_skinIndex >= 0) {
        SetSkinIndex(m_skinIndex);
    }
}

void TVxVeneer::BeforeChange() {
    if (OnBeforeChange) {
        OnBeforeChange(this);
    }
    if (TVxSkinAnnouncer* announcer = Announcer()) {
        announcer->AnnounceToForms(VXM_SKINCHANGING, *this);
    }
}

void TVxVeneer::AfterChange() {
    if (TVxSkinAnnouncer* announcer = Announcer()) {
        announcer->AnnounceToForms(VXM_SKINCHANGED, *this);
    }
    if (OnAfterChange) {
        OnAfterChange(this);
    }
}

template <typename Load>
void TVxVeneer::ReplaceSkin(Load&& load) {
    const bool announceBefore = m_source->Count() > 0;
    if (announceBefore) {
        m_source->SetUpdating(true);
        BeforeChange();
    }
    try {
        m_source->Clear();
        load();
    } catch (...) {
        // Half a skin is no skin: clients are told and paint unskinned.
        m_source->Clear();
        m_source->SetUpdating(false);
        AfterChange();
        throw;
    }
    m_source->SetUpdating(false);
    // A new skin starts from its own colours and is brought to the engine's hue.
    m_source->ResetHue();
    m_source->ChangeDeltaHue(m_deltaHue);
    AfterChange();
}

void TVxVeneer::SetDeltaHue(int32_t value) {
    if (value == m_deltaHue && value == m_source->TargetHue()) {
        return;
    }
    m_deltaHue = value;
    if (m_source->Count() == 0 || m_busy) {
        return;
    }
    m_busy = true;
    try {
        BeforeChange();
        m_source->ChangeDeltaHue(m_deltaHue);
        AfterChange();
    } catch (...) {
        m_busy = false;
        throw;
    }
    m_busy = false;
}

void TVxVeneer::SetSkinFile(const std::string& value) {
    m_skinFile = value;
    ReplaceSkin([this] { m_source->LoadFromFile(m_skinFile); });
}

void TVxVeneer::SetSkinList(TVxSkinList* value) {
    if (m_skinList != nullptr) {
        m_skinList->RemoveFreeNotification(this);
    }
    m_skinList = value;
    if (value == nullptr) {
        m_skinIndex = -1;
    } else {
        value->FreeNotification(this);  // a list that goes must not leave the engine pointing at it
    }
}

void TVxVeneer::SetSkinIndex(int32_t value) {
    m_skinIndex = value;
    if (m_skinList == nullptr || m_skinList->Skins().Count() == 0 || value < 0) {
        return;
    }
    m_skinIndex = std::min(value, m_skinList->Skins().Count() - 1);
    TVxSkinStream* item = m_skinList->Skins().Items(m_skinIndex);
    if (item->SkinSource().Count() == 0) {
        return;
    }
    TMemoryStream data;
    item->SkinSource().SaveToStream(data);
    data.SetPosition(0);
    if (m_source->Count() == 0) {
        // Nobody holds a copy of nothing, but clients still hear of the change to come.
        BeforeChange();
    }
    ReplaceSkin([this, &data] { m_source->LoadFromStream(data); });
}

// ---- TVxSkinStream

TVxSkinStream::TVxSkinStream(TCollection& collection)
    : TCollectionItem(collection), m_source(std::make_unique<TVxSkinSource>(nullptr)) {}

TVxSkinStream::~TVxSkinStream() = default;

const TClassInfo& TVxSkinStream::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxSkinStream;
        TClassInfo i = NewClassInfo<T, TCollectionItem>("TVxSkinStream");
        TClassBuilder<T>(i)
            .String(
                "SkinStore", [](const T&) { return std::string("(empty)"); }, [](T&, const std::string&) {})
            .Integer("Tag", &T::Tag, &T::SetTag, 0);
        return i;
    }();
    return info;
}

void TVxSkinStream::DeclareProperties(TPropertyDeclarations& declarations) {
    TCollectionItem::DeclareProperties(declarations);
    declarations.DefineBinaryProperty(
        "SkinStream", [this](TStream& stream) { ReadSkinData(stream, *m_source); },
        [this](TStream& stream) { WriteSkinData(stream, *m_source, kListSkinMarker); }, true);
}

void TVxSkinStream::CopyFrom(const TPersistent& source) {
    const auto* other = dynamic_cast<const TVxSkinStream*>(&source);
    if (other == nullptr) {
        TCollectionItem::CopyFrom(source);
        return;
    }
    if (other == this) {
        return;
    }
    m_tag = other->m_tag;
    TMemoryStream data;
    WriteSkinData(data, const_cast<TVxSkinSource&>(*other->m_source), kListSkinMarker);
    data.SetPosition(0);
    m_source->Clear();
    ReadSkinData(data, *m_source);
}

std::string TVxSkinStream::DisplayName() const {
    return m_source->Count() > 0 ? m_source->SkinName() : std::string("(empty)");
}

// ---- TVxSkinCollection, TVxSkinList

TVxSkinCollection::TVxSkinCollection(TVxSkinList& owner) : TCollection(CollectionItemClass<TVxSkinStream>(), &owner) {}

const TClassInfo& TVxSkinCollection::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TVxSkinCollection, TCollection>("TVxSkinCollection");
    return info;
}

TVxSkinList::TVxSkinList(TComponent* owner) : TComponent(owner), m_skins(std::make_unique<TVxSkinCollection>(*this)) {}

TVxSkinList::~TVxSkinList() = default;

const TClassInfo& TVxSkinList::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxSkinList;
        TClassInfo i = NewClassInfo<T, TComponent>("TVxSkinList");
        TClassBuilder<T> b(i);
        b.Collection("Skins", [](T& o) -> TCollection* { return &o.Skins(); });
        PublishSkinVersion(b);
        b.Creatable();
        return i;
    }();
    return info;
}

}  // namespace zaprelay::skin
