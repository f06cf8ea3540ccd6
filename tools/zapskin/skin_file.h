// Skin containers as the tool reads and writes them: unlike the library's quiet loader, a
// missing file or an extension no filter has is an error here.
#pragma once

#include "skin/store/skin_source.h"

#include <string>

namespace zaprelay::zapskin {

// The container at path into source, through the filter of its extension, taken as stored
// (the program's after-load adjustments are not applied). Raises EFileFailure naming path.
void LoadSkinFile(const std::string& path, skin::TVxSkinSource& source);

// Raises EFileFailure naming path when no filter has path's extension.
void RequireSkinFilter(const std::string& path);

// source through the filter of path's extension, written all at once with WriteFileReplacing.
void SaveSkinFile(const std::string& path, skin::TVxSkinSource& source);

}  // namespace zaprelay::zapskin
