// File version resources (VS_VERSIONINFO, 32-bit layout).
#pragma once

#include "host/types.h"

namespace host {

// Size of the file's version block, 0 when it has none or cannot be read.
DWORD GetVersionInfoSize(const char* fileName, DWORD* handle);
BOOL GetVersionInfo(const char* fileName, DWORD handle, DWORD length, void* data);
// Walks a version block: "\" gives the VS_FIXEDFILEINFO, "\StringFileInfo\040904B0\FileVersion"
// a string value (*length in characters, terminator included). Pure: touches no file.
BOOL QueryVersionValue(const void* block, const char* subBlock, void** buffer, UINT* length);

}  // namespace host
