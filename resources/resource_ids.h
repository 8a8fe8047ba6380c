#pragma once
// Numbers of the programs' embedded resources.
#define IDI_PROGRAM 1
#define IDR_LOADING_GIF 101  // CUSTOM: looping loading animation
#define IDR_FAILED_GIF 102   // CUSTOM: failure picture
#define IDR_BULLET_GIF 103   // CUSTOM: bullet of the main window's summary lines
#define QUILL_CLIENT_MAJOR 1
#define QUILL_CLIENT_MINOR 3
#define QUILL_UPDATER_MAJOR 1
#define QUILL_UPDATER_MINOR 0
