# Turns the built-in pictures into C++ byte arrays; run with cmake -P.
#   DIR     the folder of .bmp files (ICON<number>.bmp are icons, the rest bitmaps);
#           its 2x/ folder holds the same bitmaps at twice the size as .png files
#   OUTPUT  the .cpp file to write
# Each array is named after its file; the tables list the names in upper case.
# The BMPs are stored gzip-compressed (a seventh of their size): every page of
# them the program maps at start-up would otherwise stay resident. The PNGs are
# compressed already.
include("${CMAKE_CURRENT_LIST_DIR}/CppByteArray.cmake")

# Sets out to the size a BMP header field holds: the little-endian 32-bit number
# at byte `at` of the header's hex text, without its sign (a negative height
# means rows top first).
function(v7_bmp_dimension header at out)
  set(value 0)
  foreach(i 3 2 1 0)
    math(EXPR digit "(${at} + ${i}) * 2")
    string(SUBSTRING "${header}" ${digit} 2 byte)
    math(EXPR value "(${value} << 8) + 0x${byte}")
  endforeach()
  if(value GREATER_EQUAL 2147483648)
    math(EXPR value "4294967296 - ${value}")
  endif()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# Sets `packed` to the gzip stream of BMP file f, made reproducible (no time
# stamp), and `bmp_size`, `bmp_width`, `bmp_height` to the file's size and the
# picture's, from its header.
function(v7_pack_bmp f)
  set(gz "${OUTPUT}.pack/packed.gz")
  file(MAKE_DIRECTORY "${OUTPUT}.pack")
  file(ARCHIVE_CREATE OUTPUT "${gz}" PATHS "${f}" FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
  file(SIZE "${f}" size)
  file(READ "${f}" header LIMIT 26 HEX)
  v7_bmp_dimension("${header}" 18 width)
  v7_bmp_dimension("${header}" 22 height)
  set(bmp_width ${width} PARENT_SCOPE)
  set(bmp_height ${height} PARENT_SCOPE)
  v7_read_as_byte_array("${gz}" hex bytes)
  # The gzip header's time stamp (bytes 4-7) is the time of this build: zero it.
  string(REGEX REPLACE "^(0x1f,0x8b,0x08,0x00,)0x..,0x..,0x..,0x..," "\\10x00,0x00,0x00,0x00," hex "${hex}")
  file(REMOVE_RECURSE "${OUTPUT}.pack")
  set(packed "${hex}" PARENT_SCOPE)
  set(packed_bytes ${bytes} PARENT_SCOPE)
  set(bmp_size ${size} PARENT_SCOPE)
endfunction()

# Appends the array for file f, named k<NAME><suffix>, to `arrays`; sets `name`
# to the resource name (the file name in upper case) and `array` to the array's.
macro(v7_embed_picture f suffix)
  get_filename_component(name "${f}" NAME_WE)
  string(TOUPPER "${name}" name)
  if(NOT name MATCHES "^[A-Z0-9_]+$")
    message(FATAL_ERROR "picture name not usable as a resource name: ${f}")
  endif()
  if(f MATCHES "\\.bmp$")
    v7_pack_bmp("${f}")
    set(hex "${packed}")
    set(bytes ${packed_bytes})
  else()
    v7_read_as_byte_array("${f}" hex bytes)
  endif()
  set(array "k${name}${suffix}")
  string(APPEND arrays "const unsigned char ${array}[${bytes}] = {\n${hex}\n};\n")
endmacro()

file(GLOB files "${DIR}/*.bmp")
list(SORT files)
set(arrays "")
set(bitmaps "")
set(icons "")
foreach(f IN LISTS files)
  v7_embed_picture("${f}" "")
  if(name MATCHES "^ICON([0-9]+)$")
    string(APPEND icons "    {\"${name}\", {${array}, sizeof ${array}, ${bmp_size}, ${bmp_width}, ${bmp_height}}},\n")
  else()
    string(APPEND bitmaps "    {\"${name}\", {${array}, sizeof ${array}, ${bmp_size}, ${bmp_width}, ${bmp_height}}},\n")
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

const NamedBitmap kBitmaps[] = {
${bitmaps}};
const std::size_t kBitmapCount = sizeof kBitmaps / sizeof kBitmaps[0];

const NamedFile kBitmaps2x[] = {
${bitmaps2x}};
const std::size_t kBitmap2xCount = sizeof kBitmaps2x / sizeof kBitmaps2x[0];

const NamedBitmap kIcons[] = {
${icons}};
const std::size_t kIconCount = sizeof kIcons / sizeof kIcons[0];

}  // namespace res::embedded
")
# Replace only when changed, so an unchanged picture set rebuilds nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
