// What the file calls do to one entry of an open folder: the folder's
// descriptor and the entry's real name in it. A symbolic link in the entry's
// place is never followed, however late it was put there.
#pragma once

#include <sys/stat.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/emulated/drive_entry.h"
#include "host/files.h"

namespace host::emulated {

// A folder as a search saw it, so that an open by name can tell the folder
// listed from one put in its place since.
struct FileId {
    dev_t Dev;
    ino_t Ino;
};
using ListedFolders = std::map<std::string, FileId>;

// One search: the folder held open and the names that matched, read at the
// start so that removing entries while walking cannot upset the listing.
struct Search {
    std::shared_ptr<DirFd> Dir;
    std::string Key;                        // the path spelling it was started with
    std::shared_ptr<ListedFolders> Listed;  // receives each folder listed, when set
    std::vector<std::string> Names;
    std::size_t Next = 0;
};

// openat, with the process's soft limit of open files raised to its hard
// limit when it has run out.
int OpenInFolder(int dir, const char* name, int flags);

// Lists dir's names matching pattern ("." and ".." too when listDots) and
// fills data with the first; null when nothing matches.
std::unique_ptr<Search> StartSearch(std::shared_ptr<DirFd> dir, const std::string& pattern, bool listDots,
                                     std::shared_ptr<ListedFolders> listed, FindData* data);
bool NextFound(Search& search, FindData* data);

DWORD EntryAttributes(int dir, const std::string& name, const struct stat& status);
BOOL SetEntryAttributes(int dir, const std::string& name, DWORD attributes);
BOOL DeleteEntry(int dir, const std::string& name);
BOOL RemoveFolderEntry(int dir, const std::string& name);

}  // namespace host::emulated
