#pragma once
// What the screen shows of a top-level window (frame included), saved as PNG
// for review.
#include <windows.h>

#include <string>

bool SaveScreenPng(HWND window, const std::wstring& path);
