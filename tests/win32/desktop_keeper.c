/* Keeps the Wine prefix's desktop process for the length of a test run: a
 * hidden window and its message loop, ended with the wineserver. Without it
 * the desktop process ends after the last window of a test closes, and a
 * program started while it is ending gets no desktop ("The explorer process
 * failed to start") and no window. A test double, never shipped. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;
    (void)show;
    HWND window = CreateWindowExW(0, L"STATIC", L"desktop keeper", WS_POPUP, 0, 0, 1, 1, NULL, NULL, instance, NULL);
    if (!window) return 1;
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
