// Settings files on drive C:. The file is read afresh for every call and
// written back whole through a temporary file renamed over it, so a reader
// never sees half a file and a failed write leaves the old one.
#include "host/inifile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "host/emulated/drive.h"
#include "host/text.h"

namespace fs = std::filesystem;

namespace host {
namespace {

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A line with its own ending kept, so untouched lines are written back as read.
std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        end = end == std::string::npos ? content.size() : end + 1;
        lines.push_back(content.substr(start, end - start));
        start = end;
    }
    return lines;
}

// The section a header line names; false for any other line.
bool SectionName(std::string_view line, std::string_view* name) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    *name = Trim(line.substr(1, close - 1));
    return true;
}

// The key and value of a "key=value" line; false for comments and other lines.
bool KeyValue(std::string_view line, std::string_view* key, std::string_view* value) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return false;
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return false;
    *key = Trim(trimmed.substr(0, equals));
    *value = Trim(trimmed.substr(equals + 1));
    return true;
}

bool SameName(std::string_view a, const char* b) { return MbsICmp(a, b) == 0; }

// A name or value that would not read back as written (a line break, a key
// holding '=', a section holding ']') is refused rather than written.
bool Writable(const char* section, const char* key, const char* value) {
    auto holds = [](const char* text, const char* chars) { return text && std::strpbrk(text, chars) != nullptr; };
    return !holds(section, "\r\n]") && !holds(key, "\r\n=") && !holds(value, "\r\n") &&
           !(key && (Trim(key).empty() || key[0] == ';' || key[0] == '['));
}

struct IniFile {
    fs::path Path;  // the real file (a link on the drive followed)
    bool Exists = false;
    std::vector<std::string> Lines;
};

bool Load(const char* fileName, IniFile* file) {
    if (!fileName || !emulated::MapWindowsPath(fileName, &file->Path)) return false;
    std::error_code ec;
    file->Path = fs::weakly_canonical(file->Path, ec);
    if (ec) return false;
    std::ifstream in(file->Path, std::ios::binary);
    if (!in) return true;  // a missing file reads as empty
    std::ostringstream content;
    content << in.rdbuf();
    file->Exists = true;
    file->Lines = SplitLines(content.str());
    return true;
}

bool Save(const IniFile& file) {
    struct stat status {};
    mode_t mode = 0644;
    if (stat(file.Path.c_str(), &status) == 0) {
        if ((status.st_mode & S_IWUSR) == 0) return false;  // read-only
        mode = status.st_mode & 07777;
    }
    const fs::path temp = file.Path.string() + ".v7tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const std::string& line : file.Lines) out << line;
        out.flush();
        if (!out) {
            std::error_code ec;
            fs::remove(temp, ec);
            return false;
        }
    }
    chmod(temp.c_str(), mode);
    if (rename(temp.c_str(), file.Path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

// [first, end) of the section's lines after its header; first == npos when absent.
void FindSection(const IniFile& file, const char* section, std::size_t* header, std::size_t* end) {
    *header = std::string::npos;
    *end = file.Lines.size();
    for (std::size_t i = 0; i < file.Lines.size(); ++i) {
        std::string_view name;
        if (!SectionName(file.Lines[i], &name)) continue;
        if (*header != std::string::npos) {
            *end = i;
            return;
        }
        if (SameName(name, section)) *header = i;
    }
}

std::string Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

}  // namespace

DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size, const char* fileName) {
    if (!buffer || size == 0) return 0;
    std::string result = defaultValue ? defaultValue : "";
    IniFile file;
    if (section && key && Load(fileName, &file)) {
        std::size_t header = 0, end = 0;
        FindSection(file, section, &header, &end);
        for (std::size_t i = header + 1; header != std::string::npos && i < end; ++i) {
            std::string_view name, value;
            if (KeyValue(file.Lines[i], &name, &value) && SameName(name, key)) {
                result = Unquoted(value);
                break;
            }
        }
    }
    const std::size_t length = CharBoundaryPrefix(result, size - 1);
    std::memcpy(buffer, result.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    IniFile file;
    if (!Load(fileName, &file)) return 0;
    if (!section && !key && !value) return 1;  // nothing is held back: the file is on disk already
    if (!section || !Writable(section, key, value)) return 0;
    std::size_t header = 0, end = 0;
    FindSection(file, section, &header, &end);
    if (!key) {
        if (header == std::string::npos) return 1;
        file.Lines.erase(file.Lines.begin() + static_cast<long>(header), file.Lines.begin() + static_cast<long>(end));
        return Save(file) ? 1 : 0;
    }
    std::size_t found = std::string::npos;
    for (std::size_t i = header + 1; header != std::string::npos && i < end && found == std::string::npos; ++i) {
        std::string_view name, old;
        if (KeyValue(file.Lines[i], &name, &old) && SameName(name, key)) found = i;
    }
    if (!value) {
        if (found == std::string::npos) return 1;  // nothing to delete
        file.Lines.erase(file.Lines.begin() + static_cast<long>(found));
        return Save(file) ? 1 : 0;
    }
    const std::string line = std::string(key) + "=" + value + "\r\n";
    if (found != std::string::npos) {
        file.Lines[found] = line;
    } else {
        if (header == std::string::npos) {
            if (!file.Lines.empty() && file.Lines.back().back() != '\n') file.Lines.back() += "\r\n";
            file.Lines.push_back("[" + std::string(section) + "]\r\n");
            end = file.Lines.size();
        } else {
            // After the section's last key, before the blank lines that part it from the next.
            while (end > header + 1 && Trim(file.Lines[end - 1]).empty()) --end;
            if (file.Lines[end - 1].back() != '\n') file.Lines[end - 1] += "\r\n";
        }
        file.Lines.insert(file.Lines.begin() + static_cast<long>(end), line);
    }
    return Save(file) ? 1 : 0;
}

}  // namespace host
