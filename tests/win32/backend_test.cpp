// What the Windows backend adds to Windows' own calls: bytes that are no UTF-8
// never passed on, a key's every line deleted, folder handles that refuse a
// folder swapped in after a listing, and the write lock of a registry
// transaction. Runs against Windows' registry and files (Wine here).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/files.h"
#include "host/inifile.h"
#include "host/registry.h"
#include "host/registry_scope.h"

namespace fs = std::filesystem;
using namespace host;
using namespace std::string_literals;

namespace {

class Win32RegistryTest : public testing::Test {
protected:
    const std::string m_path = "Software\\V7BackendTest\\" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    HKEY m_key = nullptr;
    void SetUp() override { ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, m_path.c_str(), &m_key), ERROR_SUCCESS); }
    void TearDown() override {
        RegCloseKey(m_key);
        RegDeleteKey(HKEY_LOCAL_MACHINE, m_path.c_str());
    }
    LONG Set(const char* name, const std::string& bytes) {
        return RegSetValueEx(m_key, name, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size()));
    }
};

TEST_F(Win32RegistryTest, BytesThatAreNoUtf8AreRefused) {
    HKEY sub = nullptr;
    const std::string latin1 = "Bj\xF6rn";  // not UTF-8: never passed on altered
    EXPECT_EQ(RegCreateKey(m_key, latin1.c_str(), &sub), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Set(latin1.c_str(), "x"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Set("value", latin1), ERROR_INVALID_PARAMETER);
}

TEST_F(Win32RegistryTest, ATransactionKeepsOtherWritersOutAndADroppedInnerOneFailsTheCommit) {
    {
        RegistryTransaction outer;
        ASSERT_EQ(outer.Status(), ERROR_SUCCESS);
        LONG otherThread = -1;
        std::thread other([&] { otherThread = RegistryTransaction().Status(); });  // waits for the lock
        { RegistryTransaction inner; }  // dropped
        EXPECT_NE(outer.Commit(), ERROR_SUCCESS);
        other.join();
        EXPECT_EQ(otherThread, ERROR_SUCCESS) << "the lock is free again once the outer one ends";
    }
    RegistryTransaction next;
    EXPECT_EQ(next.Commit(), ERROR_SUCCESS) << "a dropped transaction leaves nothing behind for the next";
}

class Win32FilesTest : public testing::Test {
protected:
    fs::path m_dir;
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("v7-backend-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()) +
                                             testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string Path(const std::string& name) const {
        const std::u8string path = (m_dir / name).u8string();
        return {path.begin(), path.end()};
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(m_dir / name, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
};

TEST_F(Win32FilesTest, SettingsFileDeletesEveryLineOfAKeyAndIsNoFolder) {
    const std::string ini = Path("system.ini");
    std::ofstream(m_dir / "system.ini", std::ios::binary)
        << "[Password Lists]\r\nANNA=a.pwl\r\nanna=b.pwl\r\n[other]\r\nx=1\r\n";
    EXPECT_EQ(WritePrivateProfileString("Password Lists", "Anna", nullptr, ini.c_str()), 1);
    EXPECT_EQ(Read("system.ini").find("pwl"), std::string::npos) << "every line of the key goes: " << Read("system.ini");

    char buffer[8];
    EXPECT_EQ(GetPrivateProfileString("names", "who", "dflt", buffer, sizeof buffer, Path("").c_str()), 4u)
        << "a folder is no settings file";
    EXPECT_STREQ(buffer, "dflt");
}

TEST_F(Win32FilesTest, AFolderSwappedAfterTheListingIsNotOpenedAndTheRestIsByHandle) {
    fs::create_directories(m_dir / "top" / "Anna");
    fs::create_directories(m_dir / "elsewhere");
    std::ofstream(m_dir / "top" / "Anna" / "user.dat") << "x";
    HANDLE top = OpenDirectory(Path("top").c_str());
    ASSERT_NE(top, INVALID_HANDLE_VALUE);
    WIN32_FIND_DATA data{};
    HANDLE search = FindFirstFileAt(top, "*", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::string> names;
    do names.push_back(data.cFileName);
    while (FindNextFile(search, &data));
    FindClose(search);
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "Anna"}));

    HANDLE anna = OpenDirectoryAt(top, "anna");
    ASSERT_NE(anna, INVALID_HANDLE_VALUE) << "the listed folder, found without regard to case";
    EXPECT_EQ(SetFileAttributesAt(anna, "USER.DAT", FILE_ATTRIBUTE_READONLY), 1);
    EXPECT_EQ(DeleteFileAt(anna, "user.dat"), 0) << "read-only";
    EXPECT_EQ(RemoveDirectoryAt(top, "Anna"), 0) << "not empty";
    EXPECT_EQ(SetFileAttributesAt(anna, "user.dat", FILE_ATTRIBUTE_NORMAL), 1);
    EXPECT_EQ(DeleteFileAt(anna, "user.dat"), 1);
    CloseDirectory(anna);

    // Swapped: the name now holds another folder than the one listed.
    fs::rename(m_dir / "top" / "Anna", m_dir / "old");
    fs::rename(m_dir / "elsewhere", m_dir / "top" / "Anna");
    EXPECT_EQ(OpenDirectoryAt(top, "Anna"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDirectoryAt(top, "..\\old"), INVALID_HANDLE_VALUE) << "a name, never a path";
    EXPECT_EQ(RemoveDirectoryAt(top, "Anna"), 1);
    EXPECT_EQ(GetFileAttributesAt(top, "Anna"), INVALID_FILE_ATTRIBUTES);
    CloseDirectory(top);
}

}  // namespace
