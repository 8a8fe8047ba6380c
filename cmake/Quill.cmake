# Helpers every area's CMakeLists.txt uses.
#
#   quill_program(<name> <sources...> [RESOURCES <object library>] LIBS <libs...>)
#       One of the two programs (Windows only), built into the program
#       folder. Both sit in programs/, the last of QUILL_AREAS.
#   quill_portable(<lib> <sources...> [HEADERS <headers...>] [LIBS <libs...> [PUBLIC <libs...>]])
#       Code without the Windows API: built in the Windows build and natively
#       (with the sanitizers) on Linux. In the Windows build a Windows header
#       included by one of its sources stops the build, except in the sources
#       listed with PLATFORM_SOURCES (the platform's half of a portable rule).
#   quill_windows(<lib> <sources...> [HEADERS <headers...>] [LIBS <libs...> [PUBLIC <libs...>]])
#       Window code: built only in the Windows build.
#   quill_headers(<lib> [HEADERS <headers...>] [LIBS <libs...>])
#       A header-only library.
#   quill_test(<name> LABEL <area> [PORTABLE] [SERIAL] SOURCES <files...> [LIBS <libs...>])
#       One GoogleTest executable, registered as one CTest test with the
#       area's label. PORTABLE tests also run natively; the others run under
#       Wine only. SERIAL tests run alone (they move the real mouse or the
#       focus of the shared display).
#   quill_fuzz(<name> LABEL <area> SOURCES <files...> LIBS <libs...>)
#       A libFuzzer target, built natively with clang: for searching when
#       QUILL_FUZZ is on (tools/fuzz.sh), and in the native test build as the
#       CTest test <name> with the area's label, which runs the target once
#       over its seeds and saved crash inputs (tools/fuzz-replay.sh).
#   quill_bench(<name> SOURCES <files...> [LIBS <libs...>])
#       A benchmark program under bench/, built but never run by the tests.
#
# Layers are enforced by the include path: a library exposes only its own
# headers (HEADERS; without the list, every header of its folder, which only
# a folder of one library may use), through a folder of links under the build
# tree (include/<lib>/<area path>/<header>), and only to the targets that link
# it. Includes are written from the tree root ("forms/Gdi.h"), so including a
# header of a library one does not link fails to build. LIBS are linked
# PRIVATE: only the libraries after PUBLIC, those whose headers the library's
# own headers include, reach the targets that link it. quill_check_layers()
# then checks that every link goes down the order of QUILL_AREAS and names a
# target or a system library.
#
# Every target is built with the warnings below and treats them as errors
# (quill_warnings_as_errors), so that a new warning stops the build instead
# of joining a list nobody reads.
set(QUILL_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(WIN32)
  # Procedures taken from GetProcAddress are cast to their own types.
  list(APPEND QUILL_WARNINGS -Wno-cast-function-type)
  set(QUILL_WIN_LIBS user32 gdi32 kernel32 comctl32 uxtheme msimg32 shell32 ole32 oleaut32
      wininet version advapi32 comdlg32 uuid)
  # The system's libraries a link list may name; any other name that is no
  # target is a misspelling, found at configure time.
  set(QUILL_SYSTEM_LIBS ${QUILL_WIN_LIBS} gdiplus urlmon ws2_32 psapi iphlpapi)
endif()
add_compile_options(${QUILL_WARNINGS})

# Warnings are errors in every target of the tree, whether a helper below
# made it or a plain add_library or add_executable did (a test's fixture,
# a stand-in library); code from outside the tree that the build compiles
# (the googletest sources) keeps its own rules. Runs once the whole tree has
# been read.
function(quill_warnings_as_errors dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(INTERFACE_LIBRARY|UTILITY)$")
      # Not for the resource compiler, which takes no warning options.
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${sub} NORMALIZE inside)
    if(inside)
      quill_warnings_as_errors(${sub})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL quill_warnings_as_errors ${CMAKE_SOURCE_DIR})

# A target the helpers made: its area (the folder's path) for the layer
# check.
function(quill_target target)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(TARGET ${target} PROPERTY QUILL_AREA ${rel})
  set_property(GLOBAL APPEND PROPERTY QUILL_TARGETS ${target})
endfunction()

# The Windows headers, each standing in front of the real one: in a portable
# library's source (QUILL_PORTABLE_LIBRARY) it stops the build, elsewhere it
# passes on to the real header.
set(QUILL_PORTABLE_GUARD ${CMAKE_BINARY_DIR}/include/portable_guard)
if(WIN32)
  foreach(header windows.h windef.h winbase.h winuser.h wingdi.h winnt.h winerror.h winreg.h winnls.h
                 commctrl.h commdlg.h windowsx.h shellapi.h shlobj.h shlwapi.h objbase.h objidl.h ole2.h
                 oleauto.h olectl.h ocidl.h unknwn.h urlmon.h wininet.h winsock2.h ws2tcpip.h uxtheme.h
                 vssym32.h gdiplus.h tlhelp32.h psapi.h mmsystem.h wincrypt.h)
    file(CONFIGURE OUTPUT ${QUILL_PORTABLE_GUARD}/${header} CONTENT
"#if defined(QUILL_PORTABLE_LIBRARY) && !defined(QUILL_PLATFORM_SOURCE)
#error \"a portable library includes <${header}>: move the code to a Windows library\"
#endif
#include_next <${header}>
")
  endforeach()
endif()

function(quill_expose_headers lib scope headers)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(inc ${CMAKE_BINARY_DIR}/include/${lib})
  get_directory_property(globbed QUILL_GLOBBED_HEADERS)
  get_directory_property(libraries QUILL_LIBRARIES)
  if(globbed OR (libraries AND NOT headers))
    message(FATAL_ERROR "${rel}: ${lib}: a folder of several libraries lists each one's HEADERS")
  endif()
  set_property(DIRECTORY APPEND PROPERTY QUILL_LIBRARIES ${lib})
  if(NOT headers)
    set_property(DIRECTORY PROPERTY QUILL_GLOBBED_HEADERS ${lib})
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  endif()
  file(REMOVE_RECURSE ${inc})
  file(MAKE_DIRECTORY ${inc}/${rel})
  foreach(h ${headers})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${h})
      message(FATAL_ERROR "${rel}: ${lib}: no header ${h}")
    endif()
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${h} ${inc}/${rel}/${h} SYMBOLIC)
  endforeach()
  target_include_directories(${lib} ${scope} ${inc})
  quill_target(${lib})
endfunction()

function(quill_headers lib)
  cmake_parse_arguments(A "" "" "HEADERS;LIBS" ${ARGN})
  add_library(${lib} INTERFACE)
  quill_expose_headers(${lib} INTERFACE "${A_HEADERS}")
  if(A_LIBS)
    list(REMOVE_ITEM A_LIBS PUBLIC)
    target_link_libraries(${lib} INTERFACE ${A_LIBS})
  endif()
endfunction()

function(quill_portable lib)
  cmake_parse_arguments(A "" "" "HEADERS;LIBS;PLATFORM_SOURCES" ${ARGN})
  add_library(${lib} STATIC ${A_UNPARSED_ARGUMENTS} ${A_PLATFORM_SOURCES})
  quill_expose_headers(${lib} PUBLIC "${A_HEADERS}")
  target_link_libraries(${lib} PRIVATE ${A_LIBS})
  if(WIN32)
    target_include_directories(${lib} BEFORE PRIVATE ${QUILL_PORTABLE_GUARD})
    target_compile_definitions(${lib} PRIVATE QUILL_PORTABLE_LIBRARY)
    if(A_PLATFORM_SOURCES)
      set_source_files_properties(${A_PLATFORM_SOURCES} TARGET_DIRECTORY ${lib}
                                  PROPERTIES COMPILE_DEFINITIONS QUILL_PLATFORM_SOURCE)
    endif()
  endif()
endfunction()

function(quill_windows lib)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "" "HEADERS;LIBS" ${ARGN})
  add_library(${lib} STATIC ${A_UNPARSED_ARGUMENTS})
  quill_expose_headers(${lib} PUBLIC "${A_HEADERS}")
  target_link_libraries(${lib} PRIVATE ${A_LIBS} PRIVATE ${QUILL_WIN_LIBS})
endfunction()

function(quill_program name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "RESOURCES" "LIBS" ${ARGN})
  set(sources ${A_UNPARSED_ARGUMENTS})
  if(A_RESOURCES)
    list(APPEND sources $<TARGET_OBJECTS:${A_RESOURCES}>)
  endif()
  add_executable(${name} WIN32 ${sources})
  target_link_libraries(${name} PRIVATE ${A_LIBS} ${QUILL_WIN_LIBS})
  target_link_options(${name} PRIVATE -municode)
  if(QUILL_PROGRAM_DIR)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUILL_PROGRAM_DIR})
  endif()
  quill_target(${name})
endfunction()

# Every link of a target the helpers made names a target or a system library
# (QUILL_SYSTEM_LIBS), and every link of an area's library or program goes to
# a library of its own area or of an area before it in QUILL_AREAS. Called
# once every target is made.
function(quill_check_layers)
  get_property(targets GLOBAL PROPERTY QUILL_TARGETS)
  foreach(target ${targets})
    get_target_property(area ${target} QUILL_AREA)
    # Not found (-1) for the tests, their support and the benchmarks, which
    # sit above every area.
    list(FIND QUILL_AREAS ${area} rank)
    get_target_property(type ${target} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(dep IN LISTS links interface)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" dep "${dep}")
      # No links at all, a link option, a generator expression, a library
      # file by its path, a system library, an imported target of a package
      # (seen only in its own folder; CMake refuses an unknown one itself).
      if(dep MATCHES "^(links|interface)-NOTFOUND$" OR dep MATCHES "^(-|\\$<|/)" OR dep MATCHES "::"
         OR dep IN_LIST QUILL_SYSTEM_LIBS)
        continue()
      endif()
      if(NOT TARGET ${dep})
        message(FATAL_ERROR "${target} (${area}) links ${dep}, which is no target nor a system library "
                            "(QUILL_SYSTEM_LIBS in cmake/Quill.cmake)")
      endif()
      get_target_property(depArea ${dep} QUILL_AREA)
      if(rank LESS 0 OR NOT depArea)
        continue()
      endif()
      list(FIND QUILL_AREAS ${depArea} depRank)
      if(depRank LESS 0)
        message(FATAL_ERROR "${target} (${area}) links ${dep} (${depArea}), which sits above every area")
      elseif(depRank GREATER rank)
        message(FATAL_ERROR "${target} (${area}) links ${dep} (${depArea}), an area after it in QUILL_AREAS")
      endif()
    endforeach()
  endforeach()
endfunction()

function(quill_test name)
  cmake_parse_arguments(A "PORTABLE;SERIAL" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(QUILL_FUZZ)
    return()
  endif()
  if(NOT A_PORTABLE AND NOT WIN32)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest_main)
  # A test's own helpers sit beside it and are included by their bare name.
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  if(WIN32)
    target_link_libraries(${name} PRIVATE ${QUILL_WIN_LIBS})
    # Tests find the program folder (tallivo.exe, update.exe, resources) here.
    target_compile_definitions(${name} PRIVATE QUILL_PROGRAM_DIR="${QUILL_PROGRAM_DIR}")
    target_link_libraries(${name} PRIVATE res_test)
  endif()
  target_compile_definitions(${name} PRIVATE QUILL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${A_LABEL} TIMEOUT 600)
  quill_target(${name})
  if(A_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

function(quill_fuzz name)
  cmake_parse_arguments(A "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  quill_target(${name})
  if(NOT QUILL_FUZZ)
    add_test(NAME ${name}
             COMMAND bash ${PROJECT_SOURCE_DIR}/tools/fuzz-replay.sh $<TARGET_FILE:${name}> ${name}
                     ${CMAKE_CURRENT_BINARY_DIR}/replay/${name})
    set_tests_properties(${name} PROPERTIES LABELS ${A_LABEL} TIMEOUT 600)
  endif()
endfunction()

function(quill_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(QUILL_FUZZ)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  if(WIN32)
    target_link_libraries(${name} PRIVATE ${QUILL_WIN_LIBS})
  endif()
  target_compile_definitions(${name} PRIVATE QUILL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  quill_target(${name})
endfunction()
