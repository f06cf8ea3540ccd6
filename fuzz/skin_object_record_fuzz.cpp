// Any bytes as a skin object record of any registered kind, binary or text by the first
// byte. The reader may refuse with the library's errors, never otherwise; a tree it accepts
// must write out as a binary record and read back to the same bytes, and must lay out, draw,
// resolve its bitmaps and give its shape without faults, whatever its stored values.
#include "framework/graphics/bitmap_link.h"
#include "framework/graphics/pixel.h"
#include "framework/graphics/raster_canvas.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"
#include "skin/objects/basic_kinds.h"
#include "skin/objects/composite_kinds.h"
#include "skin/objects/skin_object_io.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

using namespace zaprelay;
using namespace zaprelay::skin;

namespace {

// A bitmap list with one small image under the names a seed uses.
TVxBitmapList& Bitmaps() {
    static TVxBitmapList list;
    if (list.Count() == 0) {
        auto image = std::make_unique<TVxBitmap>();
        image->SetName("skin.bmp");
        image->SetSize(32, 32);
        image->Fill(0xFF336699);
        *image->PixelPtr(3, 3) = TransparentColor;
        list.Add(std::move(image));
    }
    return list;
}

// Stored sizes may be anything; shapes are made on bitmaps of the objects' sizes, so only
// trees of sizes a skin could mean are drawn into them.
bool Drawable(const TVxSkinObject& object) {
    if (int64_t{object.Width()} * object.Height() > 256 * 256) {
        return false;
    }
    for (int i = 0; i < object.ChildCount(); ++i) {
        if (const TVxSkinObject* child = object.GetChild(i); child != nullptr && !Drawable(*child)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (RegisterBasicSkinObjectKinds(), RegisterCompositeSkinObjectKinds(), true);
    (void)registered;
    if (size == 0) {
        return 0;
    }
    std::unique_ptr<TVxSkinObject> tree;
    try {
        TBytesStream input(std::span<const uint8_t>(data + 1, size - 1));
        tree.reset((data[0] & 1) != 0 ? ReadSkinObjectBinary(input, nullptr) : ReadSkinObject(input, nullptr));
    } catch (const Exception&) {
        return 0;
    }
    if (!tree) {
        return 0;
    }
    TMemoryStream first;
    WriteSkinObjectBinary(first, *tree);
    first.SetPosition(0);
    std::unique_ptr<TVxSkinObject> again(ReadSkinObjectBinary(first, nullptr));
    if (!again) {
        std::abort();
    }
    TMemoryStream second;
    WriteSkinObjectBinary(second, *again);
    if (second.Bytes() != first.Bytes()) {
        std::abort();
    }

    tree->SetBitmapList(&Bitmaps());
    tree->LinkBitmaps();
    TPixel pixels[64 * 64] = {};
    TRasterCanvas canvas(TPixelSurface{pixels, 64, 64});
    for (uint8_t state = 0; state <= 8; state += 4) {
        tree->SetState(state);
        tree->Realign();
        // A real size change runs the corner rules against whatever sizes were stored.
        tree->SetBounds(tree->Left(), tree->Top(), 48 + state, 32 + state);
        tree->Draw(canvas);
        if (Drawable(*tree)) {
            tree->CreateMaskRegion();
        }
        tree->ObjectAtPoint({tree->Left() + 1, tree->Top() + 1});
    }
    return 0;
}
