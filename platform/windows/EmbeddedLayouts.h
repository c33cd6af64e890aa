// The stored layouts the build embeds from forms/ (a generated source defines the table).
#pragma once

namespace plat {

struct TEmbeddedLayout {
  const char* name;      // file name without extension: the layout's name
  const char* fileName;  // for error messages
  const char* text;
};
// Ends with an entry whose name is nullptr.
extern const TEmbeddedLayout kEmbeddedLayouts[];

}  // namespace plat
