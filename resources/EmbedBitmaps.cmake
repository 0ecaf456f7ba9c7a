# Turns the built-in pictures into C++ byte arrays; run with cmake -P.
#   DIR     the folder of .bmp files (ICON<number>.bmp are icons, the rest bitmaps);
#           its 2x/ folder holds the same bitmaps at twice the size as .png files
#   OUTPUT  the .cpp file to write
# Each array is named after its file; the tables list the names in upper case.
include("${CMAKE_CURRENT_LIST_DIR}/CppByteArray.cmake")

file(GLOB files "${DIR}/*.bmp")
list(SORT files)
set(arrays "")
set(bitmaps "")
set(icons "")
foreach(f IN LISTS files)
  get_filename_component(name "${f}" NAME_WE)
  string(TOUPPER "${name}" name)
  if(NOT name MATCHES "^[A-Z0-9_]+$")
    message(FATAL_ERROR "picture name not usable as a resource name: ${f}")
  endif()
  v7_read_as_byte_array("${f}" hex bytes)
  string(APPEND arrays "alignas(4) const unsigned char k${name}[${bytes}] = {\n${hex}\n};\n")
  if(name MATCHES "^ICON([0-9]+)$")
    string(APPEND icons "    {\"${name}\", {k${name}, sizeof k${name}}},\n")
  else()
    string(APPEND bitmaps "    {\"${name}\", {k${name}, sizeof k${name}}},\n")
  endif()
endforeach()

# The 2x pictures, decoded only on a screen that scales by 2 or more.
file(GLOB files2x "${DIR}/2x/*.png")
list(SORT files2x)
set(bitmaps2x "")
foreach(f IN LISTS files2x)
  get_filename_component(name "${f}" NAME_WE)
  string(TOUPPER "${name}" name)
  if(NOT name MATCHES "^[A-Z0-9_]+$")
    message(FATAL_ERROR "picture name not usable as a resource name: ${f}")
  endif()
  v7_read_as_byte_array("${f}" hex bytes)
  string(APPEND arrays "alignas(4) const unsigned char k${name}_2X[${bytes}] = {\n${hex}\n};\n")
  string(APPEND bitmaps2x "    {\"${name}\", {k${name}_2X, sizeof k${name}_2X}},\n")
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
