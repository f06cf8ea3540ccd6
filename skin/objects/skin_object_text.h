// The text form a skin author edits: the component stream's text form of an object, with its
// children as nested "object Name: Class ... end" blocks instead of the binary "Objects"
// property that stored skins carry.
#pragma once

#include "skin/objects/skin_object.h"

#include <string>
#include <string_view>

namespace zaprelay::skin {

// CR LF line ends, two spaces of indent per level.
std::string SkinObjectToText(TVxSkinObject& object);
// A new object tree owned by parent (none for a top-level object). Text errors raise the
// parser's errors naming the line; a class that is not registered raises an error naming it;
// a nesting deeper than the readers allow raises EReadError.
TVxSkinObject* SkinObjectFromText(std::string_view text, TVxSkinObject* parent);

}  // namespace zaprelay::skin
