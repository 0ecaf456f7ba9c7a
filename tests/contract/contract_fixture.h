// What a host contract test needs from the backend it runs on: a fresh scratch
// registry key and folder, files made and read without the calls under test,
// and the few answers in which the backends differ. One fixture_*.cpp per backend.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "host/registry.h"

namespace contract {

// A scratch key (its path below HKEY_LOCAL_MACHINE) and a scratch folder
// ("C:\..."), made fresh for one test and removed with all they hold afterwards.
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const std::string& Key() const { return m_key; }
    // The Windows path of name in the scratch folder.
    std::string Path(std::string_view name) const { return m_folder + "\\" + std::string(name); }

    struct Backend;

private:
    std::unique_ptr<Backend> m_backend;
    std::string m_key, m_folder;
};

// Bytes of a file at a Windows path, written and read as the backend's own
// file system sees them; "" for a file that cannot be read.
void WriteFileBytes(const std::string& windowsPath, std::string_view bytes);
std::string ReadFileBytes(const std::string& windowsPath);
void MakeFolder(const std::string& windowsPath);
void RenameEntry(const std::string& fromWindowsPath, const std::string& toWindowsPath);

// Lays down at windowsPath a driver file whose version block holds FileVersion
// 2.30.0.112, ProductVersion 2.30, CompanyName "Halvorn Ölund ™" in 040904B0.
// false when this backend cannot make one.
bool PlaceVersionedFile(const std::string& windowsPath);

// The login name the host must report.
std::string ExpectedUserName();

// Where a backend answers otherwise than Windows documents: Skip gives the
// reason a test of that answer does not run on this backend, nullptr where it runs.
enum class Difference {
    ValueOrder,   // values enumerate in the order first stored
    VersionFile,  // a file with a version block can be laid down
    IniLayout,    // a settings-file write leaves every other line byte for byte
};
const char* Skip(Difference difference);

// A test with its scratch key open (created) and its folder made.
class ContractTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(host::CreateRegKey(host::kLocalMachine, m_scratch.Key().c_str(), &m_key), host::kErrorSuccess);
    }
    void TearDown() override { host::CloseRegKey(m_key); }

    Scratch m_scratch;
    host::HKEY m_key = nullptr;
};

}  // namespace contract
