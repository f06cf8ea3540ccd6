// The program-wide registry of classes that component streams create by exact class name.
#pragma once

#include "framework/rtl/reflection.h"

#include <string_view>
#include <vector>

namespace zaprelay {

// A second registration of the same class is ignored.
void RegisterClass(const TClassInfo& info);
void UnregisterClass(const TClassInfo& info);
// The registered class whose name equals name exactly (letter case counts), or none.
const TClassInfo* FindClass(std::string_view name);
// Every registered class, in registration order.
std::vector<const TClassInfo*> RegisteredClasses();
// Empties the registry (at shutdown, and between tests).
void UnregisterAllClasses();

}  // namespace zaprelay
