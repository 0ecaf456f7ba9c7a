/* A test double, never shipped: stands in for the system folder's
 * wineboot.exe while a test asks Wine to end the session. Wine's ExitWindowsEx
 * hands the request to wineboot.exe, with arguments that follow the flags;
 * this program ends nothing. It writes its arguments, separated by single
 * blanks, as one line to the file named by V7_WINEBOOT_RECORD (written beside
 * it first and then renamed, so a reader sees the whole line or nothing), and
 * exits. */
#include <windows.h>

#include <shellapi.h>

int main(void) {
    wchar_t record[MAX_PATH];
    wchar_t partial[MAX_PATH + 8];
    DWORD length = GetEnvironmentVariableW(L"V7_WINEBOOT_RECORD", record, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    lstrcpyW(partial, record);
    lstrcatW(partial, L".part");

    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return 2;
    char line[4096];
    int used = 0;
    for (int i = 1; i < count; ++i) {
        if (i > 1 && used < (int)sizeof line) line[used++] = ' ';
        int n = WideCharToMultiByte(CP_UTF8, 0, args[i], -1, line + used, (int)sizeof line - used, NULL, NULL);
        if (n <= 0) return 2;
        used += n - 1; /* n counts the terminator */
    }
    if (used >= (int)sizeof line) return 2;
    line[used++] = '\n';

    HANDLE file = CreateFileW(partial, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line, (DWORD)used, &written, NULL) && written == (DWORD)used;
    CloseHandle(file);
    if (!ok || !MoveFileExW(partial, record, MOVEFILE_REPLACE_EXISTING)) return 2;
    return 0;
}
