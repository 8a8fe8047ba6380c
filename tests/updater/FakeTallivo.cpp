// A stand-in for the main program in the updater's tests: the same file
// name and a version resource of the version under test. Started with
// "hold <event>", it keeps its own file open so that it cannot be replaced,
// signals the event and waits until it is ended.
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc >= 3 && lstrcmpW(argv[1], L"hold") == 0) {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        HANDLE file = CreateFileW(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
        if (file == INVALID_HANDLE_VALUE || !ready)
            return 2;
        SetEvent(ready);
        Sleep(INFINITE);
    }
    return 0;
}
