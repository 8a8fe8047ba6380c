# Sourced by the scripts that run Windows programs: one Wine prefix per build
# tree, 64-bit loader, Chinese locale (ANSI code page 936).
: "${QUILL_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/windows}"
export WINEPREFIX="${WINEPREFIX:-$QUILL_BUILD/wineprefix}"
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG="${WINEDEBUG:--all}"
# No prompts for the optional Mono and Gecko add-ons.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEARCH=win64
# The prefix's own fontconfig setup (tools/wine/make-prefix writes it).
export FONTCONFIG_FILE="$WINEPREFIX/fontconfig/fonts.conf"
