// Everything a skin needs to be read: the object kinds under their stored class names and the
// container filters by extension. Registered at start-up, emptied at the end.
#pragma once

namespace zaprelay::skin {

void RegisterSkinClasses();
void UnregisterSkinClasses();

}  // namespace zaprelay::skin
