// Prints, for each file named on the command line, the version string the
// version report shows for it: the file is looked up by its bare name, as
// the report does, and its "FileVersion" is taken from the U.S. English
// Unicode string table or, failing that, the Windows Latin-1 one.
//
//   file_versions.exe Brakor.vxd Quorel.vxd
//   Brakor.vxd<TAB>2.30.0.112
//   Quorel.vxd<TAB>-            (no version information found)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text, int length) {
    int size = length > 0 ? WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr) : 0;
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

// Empty when the file has no readable version string.
std::string FileVersion(const std::wstring& file) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) return {};
    std::vector<BYTE> block(size, 0);
    if (!GetFileVersionInfoW(file.c_str(), handle, size, block.data())) return {};
    for (const wchar_t* path : {L"\\StringFileInfo\\040904B0\\FileVersion", L"\\StringFileInfo\\040904E4\\FileVersion"}) {
        void* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(block.data(), path, &value, &length) && value && length > 0) {
            const wchar_t* text = static_cast<const wchar_t*>(value);
            int characters = 0;
            while (characters < static_cast<int>(length) && text[characters] != L'\0') ++characters;
            return Utf8(text, characters);
        }
    }
    return {};
}

}  // namespace

// wmain: the names arrive as UTF-16, whatever the ANSI code page is.
int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: file_versions FILE...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        std::string version = FileVersion(argv[i]);
        std::printf("%s\t%s\n", Utf8(argv[i], static_cast<int>(wcslen(argv[i]))).c_str(), version.empty() ? "-" : version.c_str());
    }
    return 0;
}
