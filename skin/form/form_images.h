// The glyphs of the built-in system menu, one image list shared by every form, read from the
// program's bitmap resources VX_FORM_* (skin/form/form_bitmaps.rc, compiled into every program
// that links the form library).
#pragma once

#include "framework/win32/image_list.h"
#include "skin/form/form_types.h"

namespace zaprelay::skin {

// Filled on first use; raises EResNotFound when the program lacks one of the bitmaps.
win32::TImageList& FormImages();

}  // namespace zaprelay::skin
