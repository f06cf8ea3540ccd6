// Writing a component to the binary component stream and reading it back through the
// published-property tables.
#pragma once

#include "framework/rtl/component.h"
#include "framework/rtl/streams.h"

namespace zaprelay {

// Signature, then the object's record: class name, name, properties (published ones,
// ancestors' first, defaults, empty strings and string lists without lines skipped;
// collections always, an empty one as an empty collection; then the declared binary
// properties), and the components its GetChildren names as nested records. Wide text is
// written with the UTF-8 tag when it has a character above 127.
void WriteObjectStream(TStream& stream, TComponent& object);

// Reads one record into an existing object: the class name is skipped, the name is set,
// each property is assigned through its setter; a string list or a collection is cleared,
// then filled inside one update (an item is added for each stored one, and its properties
// assigned; stored item positions are ignored). Nested records create components of
// registered classes owned by the object. Component references are resolved, and every
// component read gets its AfterRead step, once the whole record has been read.
// Errors: EReadError with the texts of the component stream; an error inside a property
// reads "Error reading <object>.<path>: <first error>", and the properties read before
// it stay set.
void ReadObjectStream(TStream& stream, TComponent& object);

}  // namespace zaprelay
