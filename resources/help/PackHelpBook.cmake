# Build-time step: assembles the help book's pages, packs the book into one
# zip archive (the .htb the help viewer reads) and turns the archive into a C++
# source file, so the help viewer module carries its help with no loose files.
#
# Variables (-D): BOOK_DIR (sources), PAGE_TEMPLATE, STAGE_DIR, ARCHIVE, OUTPUT_CPP.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${STAGE_DIR}")
file(MAKE_DIRECTORY "${STAGE_DIR}")
file(READ "${PAGE_TEMPLATE}" template)

# A topic source starts with its title as "<h1>...</h1>"; the template gives
# every page the same banner, colours and footer.
file(GLOB topics RELATIVE "${BOOK_DIR}" "${BOOK_DIR}/*.htm")
list(SORT topics)
foreach(topic IN LISTS topics)
  file(READ "${BOOK_DIR}/${topic}" source)
  if(NOT source MATCHES "^<h1>([^<]+)</h1>\r?\n(.*)$")
    message(FATAL_ERROR "${topic}: a topic must start with <h1>title</h1> on its own line")
  endif()
  set(TOPIC_TITLE "${CMAKE_MATCH_1}")
  set(TOPIC_BODY "${CMAKE_MATCH_2}")
  string(CONFIGURE "${template}" page @ONLY)
  file(WRITE "${STAGE_DIR}/${topic}" "${page}")
endforeach()

file(GLOB book_files RELATIVE "${BOOK_DIR}" "${BOOK_DIR}/*.hhp" "${BOOK_DIR}/*.hhc" "${BOOK_DIR}/*.hhk")
foreach(file IN LISTS book_files)
  configure_file("${BOOK_DIR}/${file}" "${STAGE_DIR}/${file}" COPYONLY)
endforeach()

# Fixed member order and times keep the archive the same from build to build.
set(members ${book_files} ${topics})
list(SORT members)
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${ARCHIVE}" --format=zip "--mtime=2000-01-01 00:00:00 UTC" -- ${members}
  WORKING_DIRECTORY "${STAGE_DIR}"
  RESULT_VARIABLE packed)
if(NOT packed EQUAL 0)
  message(FATAL_ERROR "packing the help book failed: ${packed}")
endif()

include("${CMAKE_CURRENT_LIST_DIR}/../CppByteArray.cmake")
v7_read_as_byte_array("${ARCHIVE}" bytes byte_count)
file(WRITE "${OUTPUT_CPP}.tmp"
"// Generated from resources/help at build time; do not edit.
#include \"resources/help/HelpArchive.h\"

namespace {
const unsigned char kArchive[${byte_count}] = {
    ${bytes}
};
}  // namespace

namespace res {
std::span<const unsigned char> HelpBookArchive() { return kArchive; }
}  // namespace res
")
file(COPY_FILE "${OUTPUT_CPP}.tmp" "${OUTPUT_CPP}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT_CPP}.tmp")
