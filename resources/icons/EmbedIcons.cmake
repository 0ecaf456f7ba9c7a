# Turns the desktop icon's PNGs (orvane-v7-<size>.png) into C++ byte arrays; run
# with cmake -P.  DIR: the folder of PNGs; OUTPUT: the .cpp file to write.
include("${CMAKE_CURRENT_LIST_DIR}/../CppByteArray.cmake")

set(sizes 16 24 32 48 64 128 256)
set(arrays "")
set(table "")
foreach(size IN LISTS sizes)
  v7_read_as_byte_array("${DIR}/orvane-v7-${size}.png" hex bytes)
  string(APPEND arrays "const unsigned char kIcon${size}[${bytes}] = {\n${hex}\n};\n")
  string(APPEND table "    {${size}, kIcon${size}, sizeof kIcon${size}},\n")
endforeach()

file(WRITE "${OUTPUT}.tmp" "// Generated from resources/icons by EmbedIcons.cmake; do not edit.
#include \"resources/icons/AppIcons.h\"

namespace res {
namespace {
${arrays}
const AppIcon kIcons[] = {
${table}};
}  // namespace

const AppIcon* AppIcons(std::size_t* count) {
    *count = sizeof kIcons / sizeof kIcons[0];
    return kIcons;
}

}  // namespace res
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
