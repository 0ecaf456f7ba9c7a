# Turns the built-in pictures into C++ byte arrays; run with cmake -P.
#   DIR     the folder of .bmp files (ICON<number>.bmp are icons, the rest bitmaps);
#           its 2x/ folder holds the same bitmaps at twice the size as .png files
#   OUTPUT  the .cpp file to write
# Each array is named after its file; the tables list the names in upper case.
include("${CMAKE_CURRENT_LIST_DIR}/CppByteArray.cmake")

# Appends the array for file f, named k<NAME><suffix>, to `arrays`; sets `name`
# to the resource name (the file name in upper case) and `array` to the array's.
macro(v7_embed_picture f suffix)
  get_filename_component(name "${f}" NAME_WE)
  string(TOUPPER "${name}" name)
  if(NOT name MATCHES "^[A-Z0-9_]+$")
    message(FATAL_ERROR "picture name not usable as a resource name: ${f}")
  endif()
  v7_read_as_byte_array("${f}" hex bytes)
  set(array "k${name}${suffix}")
  string(APPEND arrays "alignas(4) const unsigned char ${array}[${bytes}] = {\n${hex}\n};\n")
endmacro()

file(GLOB files "${DIR}/*.bmp")
list(SORT files)
set(arrays "")
set(bitmaps "")
set(icons "")
foreach(f IN LISTS files)
  v7_embed_picture("${f}" "")
  if(name MATCHES "^ICON([0-9]+)$")
    string(APPEND icons "    {\"${name}\", {${array}, sizeof ${array}}},\n")
  else()
    string(APPEND bitmaps "    {\"${name}\", {${array}, sizeof ${array}}},\n")
  endif()
endforeach()

# The 2x pictures, decoded only on a screen that scales by 2 or more.
file(GLOB files2x "${DIR}/2x/*.png")
list(SORT files2x)
set(bitmaps2x "")
foreach(f IN LISTS files2x)
  v7_embed_picture("${f}" "_2X")
  string(APPEND bitmaps2x "    {\"${name}\", {${array}, sizeof ${array}}},\n")
endforeach()

file(WRITE "${OUTPUT}.tmp" "// Generated from resources/bitmaps by EmbedBitmaps.cmake; do not edit.
#include \"resources/EmbeddedBitmaps.h\"

namespace res::embedded {
namespace {
${arrays}}  // namespace

const NamedFile kBitmaps[] = {
${bitmaps}};
const std::size_t kBitmapCount = sizeof kBitmaps / sizeof kBitmaps[0];

const NamedFile kBitmaps2x[] = {
${bitmaps2x}};
const std::size_t kBitmap2xCount = sizeof kBitmaps2x / sizeof kBitmaps2x[0];

const NamedFile kIcons[] = {
${icons}};
const std::size_t kIconCount = sizeof kIcons / sizeof kIcons[0];

}  // namespace res::embedded
")
# Replace only when changed, so an unchanged picture set rebuilds nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
