// One copy per host root: a later start on the same root hands over to the
// running copy and ends; a start on another root runs on its own.
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "GuiTest.h"
#include "app/SingleInstance.h"

extern char** environ;

namespace {

using namespace guitest;
namespace fs = std::filesystem;

class SingleInstanceTest : public GuiTest {};

// Runs this test program as a later copy of the control center on root (see
// GuiTestMain.cpp) while this process keeps handling events. 0 = it found a
// running copy and handed over; 1 = it would have run itself.
int StartLaterCopy(const fs::path& root) {
    std::string self = fs::read_symlink("/proc/self/exe");
    std::string flag = "--second-copy";
    std::string rootText = root.string();
    char* argv[] = {self.data(), flag.data(), rootText.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    PumpUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 20);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SingleInstanceTest, LaterCopyOnTheSameRootHandsOverAndEnds) {
    int activations = 0;
    auto first = std::make_unique<SingleInstance>(m_root->Path(), [&] { ++activations; });
    ASSERT_FALSE(first->IsAnotherRunning());
    ASSERT_TRUE(first->Listen());

    EXPECT_EQ(StartLaterCopy(m_root->Path()), 0);
    EXPECT_TRUE(PumpUntil([&] { return activations == 1; }, 5)) << "the running copy was not asked forward";

    // Another root knows nothing of this copy.
    TempHostRoot other;
    EXPECT_EQ(StartLaterCopy(other.Path()), 1);
    EXPECT_EQ(activations, 1);

    // Once the first copy is gone, the next start runs itself.
    first.reset();
    EXPECT_EQ(StartLaterCopy(m_root->Path()), 1);
}

TEST_F(SingleInstanceTest, OnlyTheActivationRequestBringsTheCopyForward) {
    int activations = 0;
    SingleInstance first(m_root->Path(), [&] { ++activations; });
    ASSERT_TRUE(first.Listen());

    auto send = [&](const std::string& bytes) {
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, SingleInstance::EndpointPath(m_root->Path()).c_str(),
                     sizeof address.sun_path - 1);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(fd);
    };
    send("Activat");
    send("Hello, world, this is not a request at all\n");
    send(std::string(100000, 'A'));
    PumpUntil([] { return false; }, 0.5);
    EXPECT_EQ(activations, 0);

    send(SingleInstance::kActivate);
    EXPECT_TRUE(PumpUntil([&] { return activations == 1; }, 5));
}

}  // namespace
