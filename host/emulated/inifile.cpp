// Settings files on drive C:. The file is read afresh for every call and
// written back whole through a fresh temporary file renamed over it, so a
// reader never sees half a file and a failed write leaves the old one. Only a
// regular file is read or replaced: a link in its place is not followed, and
// a FIFO, a device or a folder fails at once instead of blocking.
#include "host/inifile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/common/inifile_rules.h"
#include "host/emulated/drive_entry.h"
#include "host/text.h"

namespace host {
namespace {

using common::IniTrim;

// A line with its own ending (CR LF, LF or a lone CR) kept, so untouched lines
// are written back as read.
std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = content.size();
        else
            end += content.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back(content.substr(start, end - start));
        start = end;
    }
    return lines;
}

bool EndsLine(const std::string& line) { return !line.empty() && (line.back() == '\n' || line.back() == '\r'); }

// The section a header line names; false for any other line.
bool SectionName(std::string_view line, std::string_view* name) {
    line = IniTrim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    *name = IniTrim(line.substr(1, close - 1));
    return true;
}

// The key and value of a "key=value" line; false for comments and other lines.
bool KeyValue(std::string_view line, std::string_view* key, std::string_view* value) {
    std::string_view trimmed = IniTrim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return false;
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return false;
    *key = IniTrim(trimmed.substr(0, equals));
    *value = IniTrim(trimmed.substr(equals + 1));
    return true;
}

bool SameName(std::string_view a, const char* b) { return MbsICmp(a, b) == 0; }

struct IniFile {
    std::shared_ptr<emulated::DirFd> Dir;  // the folder that holds the file
    std::string Name;                      // the file's real name there
    bool Exists = false;
    mode_t Mode = 0644;
    std::vector<std::string> Lines;
};

bool ReadAll(int fd, std::string* content) {
    char chunk[65536];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got == 0) return true;
        if (got < 0 && errno != EINTR) return false;
        if (got > 0) content->append(chunk, static_cast<std::size_t>(got));
    }
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t put = write(fd, content.data() + done, content.size() - done);
        if (put < 0 && errno != EINTR) return false;
        if (put > 0) done += static_cast<std::size_t>(put);
    }
    return true;
}

bool Load(const char* fileName, IniFile* file) {
    emulated::DriveEntry entry;
    if (!fileName || !emulated::ResolveEntry(fileName, &entry)) return false;
    file->Dir = entry.Dir;
    file->Name = entry.Name;
    if (!entry.Exists) return true;  // a missing file reads as empty
    if (!S_ISREG(entry.Status.st_mode)) return false;
    const int fd = openat(entry.Dir->Get(), entry.Name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    std::string content;
    // Swapped for something else since it was looked at: refused as that would have been.
    const bool read = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ReadAll(fd, &content);
    close(fd);
    if (!read) return false;
    file->Exists = true;
    file->Mode = status.st_mode & 07777;
    file->Lines = SplitLines(content);
    return true;
}

// A name beside the file that no one has yet, created here and now.
int CreateTemporary(int dir, const std::string& name, std::string* temp) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        unsigned char random[6] = {};
        if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
        char suffix[16] = {};
        for (std::size_t i = 0; i < sizeof random; ++i) std::snprintf(suffix + 2 * i, 3, "%02x", random[i]);
        *temp = name + "." + suffix + ".tmp";
        const int fd = openat(dir, temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool Save(const IniFile& file) {
    if (file.Exists && (file.Mode & S_IWUSR) == 0) return false;  // read-only
    std::string content;
    for (const std::string& line : file.Lines) content += line;
    const int dir = file.Dir->Get();
    std::string temp;
    const int fd = CreateTemporary(dir, file.Name, &temp);
    if (fd < 0) return false;
    bool written = WriteAll(fd, content) && fchmod(fd, file.Mode) == 0 && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    // The rename replaces the name itself: whatever stands there now, a link included.
    if (written && renameat(dir, temp.c_str(), dir, file.Name.c_str()) == 0) return true;
    unlinkat(dir, temp.c_str(), 0);
    return false;
}

// The lines [Header + 1, End) of one section; a name may head more than one.
struct Section {
    std::size_t Header, End;
};

std::vector<Section> FindSections(const IniFile& file, const char* section) {
    std::vector<Section> found;
    bool open = false;
    for (std::size_t i = 0; i < file.Lines.size(); ++i) {
        std::string_view name;
        if (!SectionName(file.Lines[i], &name)) continue;
        if (open) found.back().End = i;
        open = SameName(name, section);
        if (open) found.push_back({i, file.Lines.size()});
    }
    return found;
}

// Every line of key in those sections, in file order.
std::vector<std::size_t> FindKeys(const IniFile& file, const std::vector<Section>& sections, const char* key) {
    std::vector<std::size_t> found;
    for (const Section& s : sections)
        for (std::size_t i = s.Header + 1; i < s.End; ++i) {
            std::string_view name, value;
            if (KeyValue(file.Lines[i], &name, &value) && SameName(name, key)) found.push_back(i);
        }
    return found;
}

void EraseLines(IniFile& file, std::size_t first, std::size_t end) {
    file.Lines.erase(file.Lines.begin() + static_cast<long>(first), file.Lines.begin() + static_cast<long>(end));
}

std::string Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

}  // namespace

DWORD GetIniString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size, const char* fileName) {
    if (!buffer || size == 0) return 0;
    std::string result = defaultValue ? defaultValue : "";
    IniFile file;
    if (section && key && Load(fileName, &file)) {
        const std::vector<std::size_t> keys = FindKeys(file, FindSections(file, section), key);
        std::string_view name, value;
        if (!keys.empty() && KeyValue(file.Lines[keys.front()], &name, &value)) result = Unquoted(value);
    }
    return common::CopyIniValue(result, buffer, size);
}

BOOL WriteIniString(const char* section, const char* key, const char* value, const char* fileName) {
    // The flush: nothing is held back, the file is on disk already. Windows
    // answers it with FALSE whatever happens, and so does this host.
    if (!section && !key && !value) return 0;
    IniFile file;
    if (!Load(fileName, &file)) return 0;
    if (!section || !common::IniWriteAllowed(section, key, value)) return 0;
    const std::vector<Section> sections = FindSections(file, section);
    if (!key) {
        if (sections.empty()) return 1;
        for (auto s = sections.rbegin(); s != sections.rend(); ++s) EraseLines(file, s->Header, s->End);
        return Save(file) ? 1 : 0;
    }
    const std::vector<std::size_t> keys = FindKeys(file, sections, key);
    if (!value) {
        if (keys.empty()) return 1;  // nothing to delete
        // Every line of the key goes, so no second one shows once the first is gone.
        for (auto k = keys.rbegin(); k != keys.rend(); ++k) EraseLines(file, *k, *k + 1);
        return Save(file) ? 1 : 0;
    }
    const std::string line = std::string(key) + "=" + value + "\r\n";
    if (!keys.empty()) {
        file.Lines[keys.front()] = line;
    } else if (sections.empty()) {
        if (!file.Lines.empty() && !EndsLine(file.Lines.back())) file.Lines.back() += "\r\n";
        file.Lines.push_back("[" + std::string(section) + "]\r\n");
        file.Lines.push_back(line);
    } else {
        // After the first section's last key, before the blank lines that part it from the next.
        const std::size_t header = sections.front().Header;
        std::size_t end = sections.front().End;
        while (end > header + 1 && IniTrim(file.Lines[end - 1]).empty()) --end;
        if (!EndsLine(file.Lines[end - 1])) file.Lines[end - 1] += "\r\n";
        file.Lines.insert(file.Lines.begin() + static_cast<long>(end), line);
    }
    return Save(file) ? 1 : 0;
}

}  // namespace host
