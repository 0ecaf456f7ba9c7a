// The daemon's files under the host root, opened without ever following a
// link out of it: the root is opened once and every name below it relative
// to that descriptor with O_NOFOLLOW, so a dev folder, lock or log that is a
// symbolic link is refused rather than followed to someone else's files.
#pragma once

#include <filesystem>
#include <string>

namespace stationd {

class RootFiles {
public:
    RootFiles() = default;
    ~RootFiles();
    RootFiles(const RootFiles&) = delete;
    RootFiles& operator=(const RootFiles&) = delete;

    // Opens the root and its dev folder, making the folder if missing and
    // private (0700) either way. False with one line in *error.
    bool Open(const std::filesystem::path& root, std::string* error);

    // A regular file in the root or the dev folder, created 0600 if missing;
    // flags as open(2). -1 with one line in *error.
    int OpenInRoot(const char* name, int flags, std::string* error) const;
    int OpenInDeviceDir(const char* name, int flags, std::string* error) const;

    int DeviceDir() const { return m_devFd; }
    std::filesystem::path DeviceDirPath() const { return m_root / "dev"; }

private:
    int OpenFile(int dirFd, const std::filesystem::path& shown, const char* name, int flags,
                 std::string* error) const;

    std::filesystem::path m_root;
    int m_rootFd = -1;
    int m_devFd = -1;
};

// One line for a failed open: "<path> is a symbolic link; ..." (ELOOP),
// "<path> is not a folder" (ENOTDIR), else "cannot <doing> <path>: <reason>".
std::string DescribeOpenFailure(const std::string& doing, const std::filesystem::path& path, int error);

}  // namespace stationd
