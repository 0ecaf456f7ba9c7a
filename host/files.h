// Files and folders on the drives: search, attributes, delete and folder
// removal, with Windows paths ("C:\WINDOWS\Profiles\Anna") or relative to
// an open folder.
#pragma once

#include "host/types.h"

namespace host {

constexpr DWORD kAttributeReadOnly = 0x01;
constexpr DWORD kAttributeDirectory = 0x10;
constexpr DWORD kAttributeNormal = 0x80;         // no other attribute set
constexpr DWORD kAttributeReparsePoint = 0x400;  // a symbolic link
constexpr DWORD kInvalidAttributes = 0xFFFFFFFF;

struct FindData {
    DWORD dwFileAttributes;
    char cFileName[kMaxPath];
};

// Starts a search for the entries of a folder that match the last name of
// pattern ('*' and '?' wildcards, "*.*" matches every name); a folder below
// the drive's root also lists "." and "..". INVALID_HANDLE_VALUE when the
// folder cannot be read or nothing matches. Names no Windows path can hold
// (a backslash in them, longer than 259 bytes) are not listed.
HANDLE FindFirst(const char* pattern, FindData* data);
// 0 past the last entry.
BOOL FindNext(HANDLE search, FindData* data);
BOOL FindClose(HANDLE search);

// INVALID_FILE_ATTRIBUTES for a missing entry. A symbolic link reports
// FILE_ATTRIBUTE_REPARSE_POINT (with FILE_ATTRIBUTE_DIRECTORY when it leads
// to a folder), never the attributes of what it points to.
DWORD GetAttributes(const char* path);
// Only FILE_ATTRIBUTE_READONLY is kept; a symbolic link is left as it is.
BOOL SetAttributes(const char* path, DWORD attributes);

// Fails for a folder, a read-only file and a missing one. A symbolic link is
// removed itself.
BOOL RemoveFile(const char* path);
// Fails unless the folder is empty and not read-only. A symbolic link to a
// folder is removed itself.
BOOL RemoveFolder(const char* path);

// The same calls relative to an open folder: a folder handle and a name in it
// (found without regard to case). Each works on the entry the folder holds
// now, never following a symbolic link in its place, so a tree can be walked
// from the folder it was found in without naming any path again.

// Opens a folder by its path (a link on the drive is followed, never one off
// it). INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OpenDirectory(const char* path);
// Opens a sub-folder; fails for a symbolic link, for anything but a folder,
// and for a folder other than the one the last search of this folder listed
// under that name.
HANDLE OpenDirectoryAt(HANDLE folder, const char* name);
BOOL CloseDirectory(HANDLE folder);
// A search of the folder's entries, as FindFirstFile; FindNextFile and
// FindClose go on and end it.
HANDLE FindFirstAt(HANDLE folder, const char* pattern, FindData* data);
DWORD GetAttributesAt(HANDLE folder, const char* name);
BOOL SetAttributesAt(HANDLE folder, const char* name, DWORD attributes);
BOOL RemoveFileAt(HANDLE folder, const char* name);
BOOL RemoveFolderAt(HANDLE folder, const char* name);

}  // namespace host
