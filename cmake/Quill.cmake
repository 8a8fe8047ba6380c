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
#   quill_fuzz(<name> SOURCES <files...> LIBS <libs...>)
#       A libFuzzer target, built only when QUILL_FUZZ is on (clang, native).
#   quill_bench(<name> SOURCES <files...> [LIBS <libs...>])
#       A benchmark program under bench/, built but never run by the tests.

function(quill_portable lib)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  add_library(${lib} STATIC ${A_UNPARSED_ARGUMENTS})
  target_include_directories(${lib} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${lib} PUBLIC ${A_LIBS})
endfunction()

function(quill_windows lib)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  add_library(${lib} STATIC ${A_UNPARSED_ARGUMENTS})
  target_include_directories(${lib} PUBLIC ${PROJECT_SOURCE_DIR})
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
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT QUILL_FUZZ)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
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
