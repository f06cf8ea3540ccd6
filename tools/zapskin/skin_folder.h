// The skin author's folder form: skin.txt with the five header lines, bitmaps/NN_<name>.png
// and objects/NN_<Name>.txt (the text form with nested children), files taken in NN order.
#pragma once

#include "skin/store/skin_source.h"

#include <string>
#include <string_view>

namespace zaprelay::zapskin {

// A bitmap name as the part of a file name after "NN_": bytes that some file system would not
// keep (separators, reserved punctuation, controls, bytes above 0x7E) and '%' become %XX.
std::string EncodeNamePart(std::string_view name);
// The reverse; a '%' without two hexadecimal digits stays as it is.
std::string DecodeNamePart(std::string_view part);

// Writes source as a new folder dir, built in a temporary folder beside it and renamed into
// place once complete. An existing dir must be an empty folder. Raises EFileFailure naming dir.
void WriteSkinFolder(const skin::TVxSkinSource& source, const std::string& dir);

// Reads the folder into source (cleared first). Raises EFileFailure naming the file at fault.
void ReadSkinFolder(const std::string& dir, skin::TVxSkinSource& source);

}  // namespace zaprelay::zapskin
