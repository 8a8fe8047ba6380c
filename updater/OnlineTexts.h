// What several of the wizard's steps name: the title of its own message
// boxes and the main program's file in the program folder.
#pragma once

namespace quill::updater {

inline constexpr wchar_t ProgramTitle[] = L"在线更新";
inline constexpr wchar_t MainProgram[] = L"tallivo.exe";

}  // namespace quill::updater
