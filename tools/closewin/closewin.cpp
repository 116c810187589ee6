// closewin CAPTION: asks the top-level window with this caption to close, as its close
// button would. Exit code 0 when the request was posted, 1 when no such window exists.
#include "platform/WinApi.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window)
        return 1;
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}
