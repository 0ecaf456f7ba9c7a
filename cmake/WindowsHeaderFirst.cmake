# Every header of the system's own code compiles after <windows.h>, whose
# macros would otherwise rename a call or a constant of ours in the files that
# see it first. One translation unit per folder, each including <windows.h>
# and then all of the folder's headers; built with the rest, linked into
# nothing.
set(folders host host/common station options users resources cli)
if(V7_GUI)
  list(APPEND folders station/ui options/ui users/ui resources/ui panel app)
endif()
set(units "")
foreach(folder ${folders})
  file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  list(REMOVE_ITEM headers ${V7_LINUX_ONLY_HEADERS})
  string(REPLACE "/" "_" name ${folder})
  set(text "#include <windows.h>\n")
  foreach(header ${headers})
    string(APPEND text "#include \"${header}\"\n")
  endforeach()
  set(unit ${PROJECT_BINARY_DIR}/windows-h-first/${name}.cpp)
  file(CONFIGURE OUTPUT ${unit} CONTENT "${text}")
  list(APPEND units ${unit})
endforeach()
add_library(windows_h_first OBJECT ${units})
target_include_directories(windows_h_first PRIVATE ${PROJECT_SOURCE_DIR})
# What the folders' own targets are built with (the command line's header-only libraries).
target_include_directories(windows_h_first SYSTEM PRIVATE $<TARGET_PROPERTY:v7ctl,INCLUDE_DIRECTORIES>)
target_compile_definitions(windows_h_first PRIVATE UNICODE _UNICODE)
if(V7_GUI)
  target_link_libraries(windows_h_first PRIVATE v7wx)
endif()
