# Writes OUTPUT: a C++ table holding every FORMS_DIR/*.form file (name, file name, bytes).
file(GLOB forms ${FORMS_DIR}/*.form)
list(SORT forms)
set(body "")
set(entries "")
set(index 0)
foreach(form ${forms})
  get_filename_component(name ${form} NAME_WE)
  get_filename_component(file ${form} NAME)
  file(READ ${form} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND body "const char kLayout${index}[] = {${bytes} 0};\n")
  string(APPEND entries "  {\"${name}\", \"forms/${file}\", kLayout${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp "// Generated from forms/*.form by EmbedLayouts.cmake.
#include \"platform/windows/EmbeddedLayouts.h\"
namespace plat {
namespace {
${body}}  // namespace
const TEmbeddedLayout kEmbeddedLayouts[] = {
${entries}  {nullptr, nullptr, nullptr},
};
}  // namespace plat
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
