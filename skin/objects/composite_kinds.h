// The composite skin object kinds: placeholders for window controls, plain and nine-part
// bitmaps with state images, a caption button that can roll a panel, state colours and fonts,
// and the roll panel.
#pragma once

namespace zaprelay::skin {

// Registers the ten kinds with the skin object reader, in the order the skins list them.
void RegisterCompositeSkinObjectKinds();

}  // namespace zaprelay::skin
