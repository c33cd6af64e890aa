// Writing values into stored window layouts (the text format that FormReader.h describes).
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/Classes.h"

namespace plat {

// The values OBJECT defines itself (DefineProperties) as layout lines "PATH.Name = {0A1B ...}",
// each written only when the object says it differs from ANCESTOR (null: there is none). PATH is
// where the object sits below the component being written ("Bitmap"); empty for the component.
std::string WriteDefinedProperties(TPersistent& object, std::string_view path,
                                   const TPersistent* ancestor = nullptr);

}  // namespace plat
