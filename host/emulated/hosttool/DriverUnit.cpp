#include "host/emulated/hosttool/DriverUnit.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "host/emulated/root.h"

extern char** environ;

namespace hosttool {
namespace {

// Runs systemctl with the arguments, its output dropped and its complaints kept;
// the exit status, or -1 when it could not be run at all.
int Systemctl(std::vector<std::string> args, std::string* complaints) {
    // The system-wide root's drivers are the system unit; any other root's, the user's.
    if (!host::emulated::UsesSystemHostRoot()) args.insert(args.begin(), "--user");
    args.insert(args.begin(), "systemctl");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    pid_t pid = -1;
    int spawned = posix_spawnp(&pid, "systemctl", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    char buffer[512];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0 && complaints->size() < 4096) complaints->append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    if (spawned != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

const char* DriverUnitCommand() {
    return host::emulated::UsesSystemHostRoot() ? "systemctl" : "systemctl --user";
}

UnitStart StartDriversThroughUnit(std::string* why) {
    std::string ignored;
    if (Systemctl({"cat", kDriverUnit}, &ignored) != 0) return UnitStart::NotInstalled;
    why->clear();
    if (Systemctl({"start", kDriverUnit}, why) == 0) return UnitStart::Started;
    while (!why->empty() && (why->back() == '\n' || why->back() == ' ')) why->pop_back();
    if (why->empty()) *why = std::string(DriverUnitCommand()) + " start v7-stationd failed";
    return UnitStart::Failed;
}

}  // namespace hosttool
