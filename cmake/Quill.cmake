# Helpers every area's CMakeLists.txt uses.
#
#   quill_portable(<lib> <sources...> [LIBS <libs...>])
#       Code without the Windows API: built in the Windows build and natively
#       (with the sanitizers) on Linux.
#   quill_windows(<lib> <sources...> [LIBS <libs...>])
#       Window code: built only in the Windows build.
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

#   quill_headers(<lib>)
#       A header-only library: the headers of the current folder.
#
# Layers are enforced by the include path: a library exposes only the headers
# of its own folder, through a folder of links under the build tree
# (include/<lib>/<area path>/<header>), and only to the targets that link it.
# Includes are written from the tree root ("forms/Gdi.h"), so including a
# header of a library one does not link fails to build.

function(quill_expose_headers lib scope)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(inc ${CMAKE_BINARY_DIR}/include/${lib})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  file(REMOVE_RECURSE ${inc})
  file(MAKE_DIRECTORY ${inc}/${rel})
  foreach(h ${headers})
    get_filename_component(n ${h} NAME)
    file(CREATE_LINK ${h} ${inc}/${rel}/${n} SYMBOLIC)
  endforeach()
  target_include_directories(${lib} ${scope} ${inc})
endfunction()

function(quill_headers lib)
  add_library(${lib} INTERFACE)
  quill_expose_headers(${lib} INTERFACE)
endfunction()

function(quill_portable lib)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  add_library(${lib} STATIC ${A_UNPARSED_ARGUMENTS})
  quill_expose_headers(${lib} PUBLIC)
  target_link_libraries(${lib} PUBLIC ${A_LIBS})
endfunction()

function(quill_windows lib)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  add_library(${lib} STATIC ${A_UNPARSED_ARGUMENTS})
  quill_expose_headers(${lib} PUBLIC)
  target_link_libraries(${lib} PUBLIC ${A_LIBS} ${QUILL_WIN_LIBS})
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
endfunction()
