// The registry of skin object kinds and the two record forms a skin stores object trees in:
// the text record (class name, then the component stream's text form as a string) and the
// binary record (class name, size, then the binary component stream). Children travel in
// their parent's "Objects" property as binary records behind a flagged count.
#pragma once

#include "skin/objects/skin_object.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zaprelay {
class TStream;
}

namespace zaprelay::skin {

// Marks a count of children followed by binary records; an unmarked count is followed by
// text records.
inline constexpr int32_t kChildFormatFlag = 0x000F0000;
// Deeper trees are refused while reading: the reader recurses once per level.
inline constexpr int kMaxSkinObjectDepth = 64;

// Classes must be creatable skin objects (std::logic_error otherwise); a second
// registration of a class is ignored.
void RegisterSkinObjectClass(const TClassInfo& info);
// The first registered class whose name equals name exactly (letter case counts), or none.
const TClassInfo* FindSkinObjectClass(std::string_view name);
// Empties the registry (at shutdown, and between tests).
void UnregisterSkinObjectClasses();

// Read one record; the new object is owned by parent (appended to its children). A top-level
// record (no parent) of an unregistered class gives none, its body left unread; under a
// parent it raises EClassNotFound naming the class. Stream errors raise EReadError; a
// child whose body fails stays among its parent's children, a top-level object is freed.
TVxSkinObject* ReadSkinObject(TStream& stream, TVxSkinObject* parent);
TVxSkinObject* ReadSkinObjectBinary(TStream& stream, TVxSkinObject* parent);
void WriteSkinObject(TStream& stream, TVxSkinObject& object);
void WriteSkinObjectBinary(TStream& stream, TVxSkinObject& object);

// The "Objects" property's value: a count word, then the records of the children.
void ReadSkinObjectChildren(TStream& stream, TVxSkinObject& parent);
void WriteSkinObjectChildren(TStream& stream, TVxSkinObject& parent);

// A new object of the same registered class owned by owner, filled by CopyFrom; none when
// the class is not registered. A failed copy is freed and the error passed on.
TVxSkinObject* CloneSkinObject(const TVxSkinObject& object, TVxSkinObject* owner);

// A skin string: int32 length, then 8-bit characters. The length is checked against what
// the stream holds before anything is allocated.
std::string ReadSkinString(TStream& stream);
void WriteSkinString(TStream& stream, std::string_view text);

}  // namespace zaprelay::skin
