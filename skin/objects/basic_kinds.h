// The basic skin object kinds: with TVxSkinObject they make up every object a plain skin
// needs (bitmaps, active bitmaps, caption buttons, state buttons, state texts, active areas).
#pragma once

namespace zaprelay::skin {

// Registers "TVxSkinObject" and the six basic kinds, in that order, for the skin reader.
void RegisterBasicSkinObjectKinds();

}  // namespace zaprelay::skin
