#!/usr/bin/env bash
# The layers the build enforces (cmake/Quill.cmake), each on a small tree of
# its own: a library exposes only its own headers, and only to the targets
# that link it; a link goes PRIVATE unless the library names it PUBLIC; links
# go only down the order of QUILL_AREAS, a program's too, and name targets or
# system libraries; a portable library that includes a Windows header stops the
# Windows build.
# Usage: LayersTest.sh <source root> <work folder>
set -uo pipefail
root=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
failures=0

# A tree of two areas, "low" and "high" (in that order), whose files and
# area lines come from the case.
make_tree() {
  local dir=$1 areas=$2
  mkdir -p "$dir/low" "$dir/high"
  cat > "$dir/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.20)
project(Layers LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
include($root/cmake/Quill.cmake)
set(QUILL_AREAS $areas)
foreach(area \${QUILL_AREAS})
  add_subdirectory(\${area})
endforeach()
quill_check_layers()
CMAKE
}

# expect <case> <ok|configure|build> <text the failure shows> [cmake arguments...]
expect() {
  local name=$1 outcome=$2 text=$3
  shift 3
  local dir=$work/$name
  local log=$dir.log
  local got=ok
  if ! "${CMAKE:-cmake}" -S "$dir" -B "$dir/build" -G Ninja "$@" > "$log" 2>&1; then
    got=configure
  elif ! "${CMAKE:-cmake}" --build "$dir/build" >> "$log" 2>&1; then
    got=build
  fi
  if [ "$got" != "$outcome" ] || { [ -n "$text" ] && ! grep -qF -- "$text" "$log"; }; then
    echo "FAILED $name: expected $outcome${text:+ with \"$text\"}, got $got"
    sed 's/^/    /' "$log" | tail -20
    failures=$((failures + 1))
  else
    echo "ok     $name"
  fi
}

# unit <area folder> <Name> <return expression> [headers the source includes...]:
# Name.h declaring int Name(), and Name.cpp defining it.
unit() {
  local dir=$1 name=$2 body=$3
  shift 3
  echo "int $name();" > "$dir/$name.h"
  {
    for header in "$@"; do echo "#include \"$header\""; done
    echo "int $name() { return $body; }"
  } > "$dir/$name.cpp"
}

# A header of the same folder that belongs to another library.
make_tree "$work/sibling_header" "low"
echo 'quill_portable(low_a A.cpp HEADERS A.h)
quill_portable(low_b B.cpp HEADERS B.h LIBS low_a)' > "$work/sibling_header/low/CMakeLists.txt"
unit "$work/sibling_header/low" A 1 low/A.h low/B.h
unit "$work/sibling_header/low" B "A()" low/A.h low/B.h
expect sibling_header build "low/B.h"

# A header reached only through a PRIVATE link of a library one links.
make_tree "$work/private_link" "low high"
echo 'quill_portable(low_base Base.cpp HEADERS Base.h)
quill_portable(low_mid Mid.cpp HEADERS Mid.h LIBS low_base)' > "$work/private_link/low/CMakeLists.txt"
unit "$work/private_link/low" Base 1 low/Base.h
unit "$work/private_link/low" Mid "Base()" low/Base.h low/Mid.h
echo 'quill_portable(high_top Top.cpp HEADERS Top.h LIBS low_mid)' > "$work/private_link/high/CMakeLists.txt"
unit "$work/private_link/high" Top "Mid() + Base()" low/Base.h low/Mid.h high/Top.h
expect private_link build "low/Base.h"
# ... and the same tree passes once the link is PUBLIC.
cp -r "$work/private_link" "$work/public_link"
rm -rf "$work/public_link/build"
echo 'quill_portable(low_base Base.cpp HEADERS Base.h)
quill_portable(low_mid Mid.cpp HEADERS Mid.h LIBS PUBLIC low_base)' > "$work/public_link/low/CMakeLists.txt"
expect public_link ok ""

# A link up the order of the areas.
make_tree "$work/upward_link" "low high"
echo 'quill_portable(low_lib Low.cpp HEADERS Low.h LIBS high_lib)' > "$work/upward_link/low/CMakeLists.txt"
echo 'quill_portable(high_lib High.cpp HEADERS High.h)' > "$work/upward_link/high/CMakeLists.txt"
unit "$work/upward_link/low" Low 0
unit "$work/upward_link/high" High 0
expect upward_link configure "low_lib (low) links high_lib (high), an area after it in QUILL_AREAS"

# A misspelt library name in a link list.
make_tree "$work/misspelt_link" "low"
echo 'quill_portable(low_base Base.cpp HEADERS Base.h)
quill_portable(low_top Top.cpp HEADERS Top.h LIBS low_bsae)' > "$work/misspelt_link/low/CMakeLists.txt"
unit "$work/misspelt_link/low" Base 1 low/Base.h
unit "$work/misspelt_link/low" Top "Base()" low/Base.h low/Top.h
expect misspelt_link configure "low_top (low) links low_bsae, which is no target nor a system library"

# Two libraries of one folder, one without its list of headers.
make_tree "$work/unlisted_headers" "low"
echo 'quill_portable(low_a A.cpp HEADERS A.h)
quill_portable(low_b B.cpp)' > "$work/unlisted_headers/low/CMakeLists.txt"
unit "$work/unlisted_headers/low" A 0
unit "$work/unlisted_headers/low" B 0
expect unlisted_headers configure "a folder of several libraries lists each one's HEADERS"

# Warnings are errors in every target of the tree, also in one made by a
# plain add_library or add_executable (a fixture, a stand-in library) ...
for kind in "add_library(low_plain SHARED Plain.cpp)" "add_executable(low_plain Plain.cpp)"; do
  name=plain_$(echo "$kind" | sed 's/(.*//')
  make_tree "$work/$name" "low"
  echo "$kind" > "$work/$name/low/CMakeLists.txt"
  printf 'int main() { int unused = 0; return 0; }\n' > "$work/$name/low/Plain.cpp"
  expect "$name" build "unused variable"
done
# ... but not in code from outside the tree that the build compiles (the
# googletest sources), which keeps its own rules.
make_tree "$work/outside_code/tree" "low"
echo 'quill_portable(low_lib Low.cpp HEADERS Low.h)
add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/../../outside ${CMAKE_BINARY_DIR}/outside)' \
  > "$work/outside_code/tree/low/CMakeLists.txt"
unit "$work/outside_code/tree/low" Low 0 low/Low.h
mkdir -p "$work/outside_code/outside"
echo 'add_executable(outside_tool Tool.cpp)' > "$work/outside_code/outside/CMakeLists.txt"
printf 'int main() { int unused = 0; return 0; }\n' > "$work/outside_code/outside/Tool.cpp"
expect outside_code/tree ok "unused variable"

# A portable library that includes a Windows header, in the Windows build;
# the same header in a platform source of a portable library, and in a
# Windows library, builds.
if command -v x86_64-w64-mingw32-g++-posix > /dev/null; then
  make_tree "$work/portable_windows_header" "low"
  echo 'quill_portable(low_rules Rules.cpp HEADERS Rules.h)' > "$work/portable_windows_header/low/CMakeLists.txt"
  unit "$work/portable_windows_header/low" Rules 0 low/Rules.h
  sed -i '1i #include <commctrl.h>' "$work/portable_windows_header/low/Rules.cpp"
  expect portable_windows_header build "a portable library includes <commctrl.h>" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"

  make_tree "$work/platform_source" "low"
  echo 'quill_portable(low_rules Rules.cpp HEADERS Rules.h Platform.h PLATFORM_SOURCES Platform.cpp)
quill_windows(low_win Window.cpp HEADERS Window.h LIBS low_rules urlmon)' > "$work/platform_source/low/CMakeLists.txt"
  unit "$work/platform_source/low" Rules "Platform()" low/Platform.h
  unit "$work/platform_source/low" Platform "static_cast<int>(GetACP())"
  unit "$work/platform_source/low" Window "GetSystemMetrics(SM_CXSCREEN) + Rules()" low/Rules.h
  sed -i '1i #include <windows.h>' "$work/platform_source/low/Platform.cpp" "$work/platform_source/low/Window.cpp"
  expect platform_source ok "" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"

  # A program links down the areas as a library does: from the top it
  # builds, from below a library it links it is refused.
  make_tree "$work/program_top" "low high"
  echo 'quill_portable(low_lib Low.cpp HEADERS Low.h)' > "$work/program_top/low/CMakeLists.txt"
  echo 'quill_program(high_prog Main.cpp LIBS low_lib)' > "$work/program_top/high/CMakeLists.txt"
  unit "$work/program_top/low" Low 0 low/Low.h
  printf '#include "low/Low.h"\n#include <windows.h>\nint WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return Low(); }\n' \
    > "$work/program_top/high/Main.cpp"
  expect program_top ok "" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"

  make_tree "$work/program_below" "low high"
  echo 'quill_program(low_prog Main.cpp LIBS high_lib)' > "$work/program_below/low/CMakeLists.txt"
  echo 'quill_portable(high_lib High.cpp HEADERS High.h)' > "$work/program_below/high/CMakeLists.txt"
  unit "$work/program_below/high" High 0
  printf 'int WINAPI wWinMain() { return 0; }\n' > "$work/program_below/low/Main.cpp"
  expect program_below configure "low_prog (low) links high_lib (high), an area after it in QUILL_AREAS" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
fi

echo "$failures failed"
exit $((failures > 0))
