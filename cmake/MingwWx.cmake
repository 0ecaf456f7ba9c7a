# wxWidgets for Windows, built by scripts/mingw-wx.sh into a prefix outside the
# checkout (V7_MINGW_WX_PREFIX), as the targets the Linux build makes from the
# system's wx: v7wx (core and base) and v7wxhtml (the help viewer's html).
# Static libraries: the programs carry wx inside and need only Windows' DLLs.
set(wx_config ${V7_MINGW_WX_PREFIX}/bin/wx-config)
if(NOT EXISTS ${wx_config})
  message(FATAL_ERROR "${wx_config} is missing: V7_MINGW_WX_PREFIX must name the prefix scripts/mingw-wx.sh printed")
endif()

function(v7_wx_config out)
  execute_process(COMMAND sh ${wx_config} --prefix=${V7_MINGW_WX_PREFIX} --static ${ARGN}
                  OUTPUT_VARIABLE text RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed)
    message(FATAL_ERROR "wx-config ${ARGN} failed")
  endif()
  separate_arguments(text UNIX_COMMAND "${text}")
  set(${out} ${text} PARENT_SCOPE)
endfunction()

v7_wx_config(wx_cxxflags --cxxflags)
set(wx_includes ${wx_cxxflags})
list(FILTER wx_includes INCLUDE REGEX "^-I")
list(TRANSFORM wx_includes REPLACE "^-I" "")
set(wx_definitions ${wx_cxxflags})
list(FILTER wx_definitions INCLUDE REGEX "^-D")
list(TRANSFORM wx_definitions REPLACE "^-D" "")

# The libraries without the GUI subsystem flags: those belong to the program
# alone (WIN32_EXECUTABLE), not to the console test programs that link wx too.
v7_wx_config(wx_core_libs --libs core,base)
v7_wx_config(wx_html_libs --libs html)
foreach(list wx_core_libs wx_html_libs)
  list(FILTER ${list} EXCLUDE REGEX "^(-mwindows|-Wl,--subsystem,windows)$")
endforeach()
list(FILTER wx_html_libs INCLUDE REGEX "_html-")

add_library(v7wx INTERFACE)
target_include_directories(v7wx SYSTEM INTERFACE ${wx_includes})
target_compile_definitions(v7wx INTERFACE ${wx_definitions} UNICODE _UNICODE)
target_link_libraries(v7wx INTERFACE ${wx_core_libs})
add_library(v7wxhtml INTERFACE)
# html before core: static libraries are searched in order.
target_link_libraries(v7wxhtml INTERFACE ${wx_html_libs} v7wx)

# libpng for the panel's pictures: the one wx links, inside the same prefix.
set(PNG_PNG_INCLUDE_DIR ${V7_MINGW_WX_PREFIX}/include/libpng16)
set(PNG_LIBRARY ${V7_MINGW_WX_PREFIX}/lib/libpng16.a)
# zlib static as well: its import library would make the program need zlib1.dll.
set(ZLIB_LIBRARY_RELEASE /usr/${V7_MINGW_TRIPLET}/lib/libz.a CACHE FILEPATH "zlib, linked in" FORCE)
set(ZLIB_INCLUDE_DIR /usr/${V7_MINGW_TRIPLET}/include CACHE PATH "zlib's headers" FORCE)
find_package(PNG REQUIRED)
