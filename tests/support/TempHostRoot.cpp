#include "support/TempHostRoot.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "host/emulated/root.h"
#include "host/system.h"

namespace fs = std::filesystem;

TempHostRoot::TempHostRoot() {
    // Short paths: the device socket must fit a Unix-domain address.
    std::string pattern = "/tmp/v7root-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    setenv("V7_HOST_ROOT", m_path.c_str(), 1);
    host::emulated::SetHostRoot(m_path);
    // A test builds the registry it needs in this process; the programs it
    // starts still find no registry.db where it wrote none.
    host::emulated::CreateMissingRegistry(true);
}

TempHostRoot::~TempHostRoot() {
    std::error_code ec;
    host::emulated::CreateMissingRegistry(false);
    host::emulated::SetHostRoot(host::emulated::DefaultHostRoot());
    fs::remove_all(m_path, ec);
}

InitializedHostRoot::InitializedHostRoot() {
    const ToolResult r = RunHostTool({"init"});
    if (r.ExitCode != 0 || !r.Err.empty()) throw std::runtime_error("v7-host init failed: " + r.Err);
}

namespace {

bool SocketAnswers(const fs::path& socketPath) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const sockaddr_un addr = UnixAddress(socketPath);
    bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0;
    close(fd);
    return ok;
}

pid_t Spawn(const std::string& program, const std::vector<std::string>& args, int in, int out, int err,
            unsigned fileLimit = 0) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        if (in >= 0) dup2(in, 0);
        if (out >= 0) dup2(out, 1);
        if (err >= 0) dup2(err, 2);
        const rlimit limit{fileLimit, fileLimit};
        if (fileLimit) setrlimit(RLIMIT_NOFILE, &limit);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

// The whole content of a scratch file, which is then closed.
std::string ReadAndClose(FILE* file) {
    std::string text;
    char buffer[4096];
    std::rewind(file);
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

}  // namespace

RunningStationDrivers::RunningStationDrivers(std::vector<std::string> args, unsigned fileLimit) {
    int devnull = open("/dev/null", O_RDWR);
    m_pid = Spawn(V7_STATIOND_PATH, args, devnull, devnull, -1, fileLimit);
    close(devnull);
    fs::path socketPath = host::emulated::DeviceSocketPath("Brakor");
    for (int i = 0; i < 500; ++i) {
        if (SocketAnswers(socketPath)) return;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

RunningStationDrivers::~RunningStationDrivers() { Stop(); }

int RunningStationDrivers::Stop() {
    if (m_pid <= 0) return -1;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ToolResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& stdinText) {
    // Scratch files, not pipes: nothing waits on a full pipe or on a process the
    // program left behind holding one.
    FILE *in = std::tmpfile(), *out = std::tmpfile(), *err = std::tmpfile();
    if (!in || !out || !err) throw std::runtime_error("no scratch file for a program's input and output");
    std::fwrite(stdinText.data(), 1, stdinText.size(), in);
    std::fflush(in);
    std::rewind(in);
    const pid_t pid = Spawn(program, args, fileno(in), fileno(out), fileno(err));
    int status = 0;
    waitpid(pid, &status, 0);
    std::fclose(in);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadAndClose(out), ReadAndClose(err)};
}

ToolResult RunHostTool(const std::vector<std::string>& args, const std::string& stdinText) {
    return RunProgram(V7_HOSTTOOL_PATH, args, stdinText);
}

#ifdef V7_V7CTL_PATH
ToolResult RunV7ctl(const std::vector<std::string>& args, const std::string& stdinText) {
    return RunProgram(V7_V7CTL_PATH, args, stdinText);
}
#endif

std::vector<std::string> StationLogEvents() {
    std::ifstream in(host::emulated::StationLogPath());
    std::vector<std::string> events;
    for (std::string line; std::getline(in, line);) events.push_back(line.substr(line.find('\t') + 1));
    return events;
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

sockaddr_un UnixAddress(const fs::path& socketFile) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketFile.c_str(), sizeof address.sun_path - 1);
    return address;
}

std::string LoginName() {
    char name[260] = {};
    host::DWORD size = sizeof name;
    return host::GetAccountName(name, &size) ? name : "";
}
