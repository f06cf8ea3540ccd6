#include "skin/controls/vx_skin_controls.h"

#include "framework/win32/gdi_handles.h"
#include "skin/objects/bitmap_object.h"

namespace zaprelay::skin {

namespace {

constexpr uint32_t kCaptionFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

}  // namespace

// ---------------------------------------------------------------- glyph

template <typename Base>
TPoint TVxSkinCheckable<Base>::GetGlyphSize() const {
    if (this->SkinUsable()) {
        if (const TVxSkinObject* checked = this->SkinObjectCopy()->FindObject("Checked")) {
            return {checked->Width(), checked->Height()};
        }
    }
    return {13, 13};
}

template <typename Base>
void TVxSkinCheckable<Base>::PaintGlyph() {
    if (!this->SkinUsable()) {
        Base::PaintGlyph();
        return;
    }
    TVxSkinObject& copy = *this->SkinObjectCopy();
    const uint8_t state = this->SkinState();
    TVxSkinObject* glyph = copy.FindObject(GlyphName());
    if (glyph != nullptr) {
        glyph->SetState(state);
        glyph->SetBounds(this->GlyphRect());
        glyph->Draw(this->PaintCanvas());
    }
    TVxSkinObject* text = copy.FindObject("Text");
    if (text != nullptr) {
        text->SetState(state);
    } else {
        text = FontFallback(glyph);
    }
    if (text != nullptr) {
        this->PaintFont().CopyFrom(text->CaptionFont());
    }
}

template class TVxSkinCheckable<TVxCustomCheckBox>;
template class TVxSkinCheckable<TVxCustomRadioButton>;

// ---------------------------------------------------------------- check box

const TClassInfo& TVxSkinCheckBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxSkinCheckBox, TVxCustomCheckBox>("TVxSkinCheckBox");
        TClassBuilder<TVxSkinCheckBox> b(i);
        PublishSkinBinding(b);
        b.Creatable();
        return i;
    }();
    return info;
}

TVxSkinCheckBox::TVxSkinCheckBox(TComponent* owner) : TVxSkinCheckable(owner, "CheckBox") {}

const char* TVxSkinCheckBox::GlyphName() const {
    switch (State()) {
        case cbChecked:
            return "Checked";
        case cbGrayed:
            return "Mixed";
        default:
            return "Unchecked";
    }
}

void TVxSkinCheckBox::SkinBound() {
    if (TVxSkinObject* copy = SkinObjectCopy()) {
        TVxSkinObject* text = copy->FindObject("Text");
        Font()->CopyFrom((text != nullptr ? text : copy)->Font());
    }
}

// ---------------------------------------------------------------- radio button

const TClassInfo& TVxSkinRadioButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxSkinRadioButton, TVxCustomRadioButton>("TVxSkinRadioButton");
        TClassBuilder<TVxSkinRadioButton> b(i);
        PublishSkinBinding(b);
        b.Creatable();
        return i;
    }();
    return info;
}

TVxSkinRadioButton::TVxSkinRadioButton(TComponent* owner) : TVxSkinCheckable(owner, "RadioButton") {}

void TVxSkinRadioButton::AfterRead() {
    TVxSkinCheckable::AfterRead();
    SetVeneer(Veneer());
}

// ---------------------------------------------------------------- group box

const TClassInfo& TVxSkinGroupBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxSkinGroupBox, TVxCustomGroupBox>("TVxSkinGroupBox");
        TClassBuilder<TVxSkinGroupBox> b(i);
        PublishSkinBinding(b);
        // Transparent by default here: the skin's frame rarely covers the whole box.
        b.Boolean("Transparent", &TVxSkinGroupBox::Transparent, &TVxSkinGroupBox::SetTransparent, true);
        b.Creatable();
        return i;
    }();
    return info;
}

TVxSkinGroupBox::TVxSkinGroupBox(TComponent* owner) : TVxSkinBound(owner, "GroupBox") {
    SetTransparent(true);
}

TVxCustomCheckBox* TVxSkinGroupBox::CreateCheckBox() {
    auto* checkBox = new TVxSkinCheckBox(this);
    checkBox->SetVeneer(Veneer());
    return checkBox;
}

void TVxSkinGroupBox::SkinBound() {
    TVxSkinObject* copy = SkinObjectCopy();
    if (auto* frame = dynamic_cast<TVxBitmapObject*>(copy != nullptr ? copy->FindObject("Frame") : nullptr)) {
        SetTransparent(frame->Masked() || frame->MaskedBorder() || frame->MaskedAngles());
    }
}

void TVxSkinGroupBox::BindingDone() {
    if (auto* checkBox = dynamic_cast<TVxSkinCheckBox*>(CheckBox())) {
        checkBox->SetVeneer(Veneer());
        LayoutCheckBox();
    }
}

void TVxSkinGroupBox::PaintClient() {
    if (!SkinUsable()) {
        TVxCustomGroupBox::PaintClient();
        return;
    }
    win32::TGdiCanvas& canvas = PaintCanvas();
    if (!Transparent()) {
        canvas.FillRect({0, 0, Width(), Height()}, Parent() != nullptr ? Parent()->Color() : Color());
    }
    TVxSkinObject& copy = *SkinObjectCopy();
    TVxSkinObject* captionObject = copy.FindObject("Caption");
    // Measured in the font the caption is drawn in.
    canvas.SetFont((captionObject != nullptr ? captionObject->CaptionFont() : *Font()).Data());
    const TRect caption = CaptionRect();
    if (TVxSkinObject* frame = copy.FindObject("Frame")) {
        // The frame never shows through the caption: the pixels there are put back after it.
        win32::TSavedDC saved(canvas.Handle());
        TVxBitmap under;
        if (!caption.IsEmpty()) {
            under.SetSize(caption.Width(), caption.Height());
            canvas.ReadArea(caption, under);
        }
        frame->SetBounds(GetFrameRect());
        frame->Draw(canvas);
        canvas.StretchCopy(under, caption, {0, 0, caption.Width(), caption.Height()});
    }
    if (captionObject != nullptr) {
        captionObject->SetBounds(caption);
        captionObject->Draw(canvas);
        canvas.SetFont(captionObject->CaptionFont().Data());
    }
    if (!UseCheckBox()) {
        TRect r = caption;
        canvas.DrawText(Caption(), r, DrawTextBiDiModeFlags(kCaptionFlags));
    }
}

}  // namespace zaprelay::skin
