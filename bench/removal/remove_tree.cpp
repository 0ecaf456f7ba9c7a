// remove-tree WINDOWS-PATH: removes a folder of drive C: (on $V7_HOST_ROOT)
// with the profile removal's DeleteDirectoryTree; exit 0 when it is gone.
#include <cstdio>

#include "users/DirectoryTree.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: remove-tree 'C:\\path'\n");
        return 2;
    }
    return users::DeleteDirectoryTree(argv[1]) ? 0 : 1;
}
