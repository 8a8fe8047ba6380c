// The main program's start: the screen's twips-per-pixel factors are stored,
// then the login window is loaded and shown. The program ends with its last
// window (forms::Run).
#pragma once

namespace quill::session {

void StartUp();

}  // namespace quill::session
