#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "host/emulated/root.h"
#include "host/emulated/version_block.h"
#include "host/version.h"
#include "support/TempHostRoot.h"
#include "contract/version_text.h"

using namespace host;
using namespace host::emulated;
using contract::QueryText;
namespace fs = std::filesystem;

namespace {

const std::vector<BYTE> kBlock = [] {
    VersionBlockFields fields;
    fields.FileVersion = {2, 30, 0, 112};
    fields.ProductVersion = {2, 30, 0, 0};
    fields.Strings = {{"CompanyName", "Halvorn Ölund ™"}, {"FileVersion", "2.30.0.112"}, {"ProductVersion", "2.30"}};
    return BuildVersionBlock(fields);
}();

// The emulated host's look-up beyond the host contract (tests/contract): a bare
// name is looked for in the system folder, then the Windows folder; the block is
// found wherever it sits and handed back whole, never cut; a file that leads off
// the drive or ends inside its block gives none.
TEST(VersionFileTest, BareNamesAndWholeBlocksOnTheDriveOnly) {
    TempHostRoot root;
    fs::create_directories(DriveCPath() / "WINDOWS" / "SYSTEM");
    std::ofstream(DriveCPath() / "WINDOWS" / "SYSTEM" / "Brakor.vxd", std::ios::binary)
        << "MZ" << std::string(61, '\x90') << std::string(kBlock.begin(), kBlock.end()) << std::string(100, '\0');
    const DWORD size = GetVersionInfoSize("Brakor.vxd", nullptr);
    ASSERT_EQ(size, kBlock.size());
    std::vector<BYTE> data(size);
    EXPECT_FALSE(GetVersionInfo("Brakor.vxd", 0, size - 1, data.data()));
    ASSERT_TRUE(GetVersionInfo("Brakor.vxd", 0, size, data.data()));
    EXPECT_EQ(data, kBlock);

    // The key is there, but its node claims more bytes than the file holds.
    std::ofstream(DriveCPath() / "WINDOWS" / "cut.vxd") << std::string(kBlock.begin(), kBlock.begin() + 100);
    for (const char* file : {"Quorel.vxd", "C:\\WINDOWS\\SYSTEM\\..\\..\\..\\Brakor.vxd", "cut.vxd"})
        EXPECT_EQ(GetVersionInfoSize(file, nullptr), 0u) << file;
    fs::rename(DriveCPath() / "WINDOWS" / "SYSTEM" / "Brakor.vxd", DriveCPath() / "WINDOWS" / "Brakor.vxd");
    EXPECT_EQ(GetVersionInfoSize("BRAKOR.VXD", nullptr), kBlock.size());
}

WORD At(const std::vector<BYTE>& block, std::size_t offset) {
    return static_cast<WORD>(block[offset] | block[offset + 1] << 8);
}

TEST(VersionBlockTest, TheBlockHasTheWindowsLayout) {
    const std::vector<BYTE>& block = kBlock;
    // Root: wLength, wValueLength (the fixed info), wType (binary), then the key with its NUL.
    EXPECT_EQ(std::vector<WORD>({At(block, 0), At(block, 2), At(block, 4)}),
              std::vector<WORD>({static_cast<WORD>(block.size()), 52, 0}));
    EXPECT_EQ(std::memcmp(block.data() + 6, u"VS_VERSION_INFO", 32), 0);
    FixedFileInfo fixed;  // 6 + 32 key bytes = 38, padded to 40
    std::memcpy(&fixed, block.data() + 40, sizeof fixed);
    EXPECT_EQ(fixed.Signature, kFixedFileInfoSignature);
    EXPECT_EQ(fixed.StrucVersion, 0x00010000u);
    // The children follow at once (40 + 52 = 92): StringFileInfo, then VarFileInfo ending the block.
    EXPECT_EQ(std::memcmp(block.data() + 98, u"StringFileInfo", 30), 0);
    const std::size_t var = (92 + At(block, 92) + 3) / 4 * 4;
    EXPECT_EQ(std::memcmp(block.data() + var + 6, u"VarFileInfo", 24), 0);
    EXPECT_EQ(var + At(block, var), block.size());
    for (const char* path : {"\\StringFileInfo\\040904B0\\CompanyName", "\\VarFileInfo\\Translation", "\\",
                             "\\StringFileInfo\\040904B0\\FileVersion"}) {
        VersionValue value;
        ASSERT_TRUE(FindVersionValue(block.data(), block.size(), path, &value)) << path;
        EXPECT_EQ((value.Data - block.data()) % 4, 0) << path << ": values sit on DWORD boundaries";
        EXPECT_EQ(value.Text, path[1] == 'S') << path;
    }
}

TEST(VersionBlockTest, VersionNumbersParse) {
    VersionNumbers numbers{};
    EXPECT_TRUE(ParseVersionNumbers("4.00.950", &numbers));
    EXPECT_EQ(numbers, (VersionNumbers{4, 0, 950, 0}));
    for (const char* bad : {"", "1.", ".1", "1.2.3.4.5", "1.65536", "1.x", "-1.2", "1 .2"})
        EXPECT_FALSE(ParseVersionNumbers(bad, &numbers)) << bad;
}

// A copy of the bytes whose last byte is the last readable one: any read past the end faults.
class GuardedBlock {
public:
    explicit GuardedBlock(const std::vector<BYTE>& bytes) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        m_size = ((bytes.size() + page - 1) / page + 1) * page;
        m_memory = static_cast<BYTE*>(mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(m_memory + m_size - page, page, PROT_NONE);
        m_block = static_cast<BYTE*>(std::memcpy(m_memory + m_size - page - bytes.size(), bytes.data(), bytes.size()));
    }
    ~GuardedBlock() { munmap(m_memory, m_size); }
    BYTE* Data() const { return m_block; }

private:
    BYTE *m_memory = nullptr, *m_block = nullptr;
    std::size_t m_size = 0;
};

TEST(VersionBlockTest, MalformedLengthsNeverLeadOutsideTheBlock) {
    const char* paths[] = {"\\", "\\StringFileInfo\\040904B0\\FileVersion", "\\StringFileInfo\\040904B0\\ProductVersion",
                           "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904B0\\Missing"};
    int found = 0;
    // Every WORD of the block, set to lengths that are too small, too large or odd.
    for (std::size_t offset = 0; offset + 1 < kBlock.size(); offset += 2) {
        for (WORD bad : {WORD{0}, WORD{1}, WORD{5}, WORD{6}, WORD{7}, WORD{0xFFFF},
                         static_cast<WORD>(At(kBlock, offset) + 2), static_cast<WORD>(At(kBlock, offset) - 2)}) {
            std::vector<BYTE> bytes = kBlock;
            bytes[offset] = static_cast<BYTE>(bad & 0xFF);
            bytes[offset + 1] = static_cast<BYTE>(bad >> 8);
            GuardedBlock block(bytes);
            for (const char* path : paths) {
                VersionValue value;
                if (!FindVersionValue(block.Data(), bytes.size(), path, &value)) continue;
                ++found;
                ASSERT_GE(value.Data, block.Data());
                ASSERT_LE(value.Data + value.Size, block.Data() + bytes.size()) << offset << " " << path;
                if (value.Text) QueryText(block.Data(), path);  // converting reads the whole value
            }
        }
    }
    EXPECT_GT(found, 0);  // damage elsewhere leaves the other values readable
    // A block cut short of what its root claims is refused as a whole.
    const std::vector<BYTE> shortBlock(kBlock.begin(), kBlock.end() - 4);
    GuardedBlock cut(shortBlock);
    VersionValue value;
    EXPECT_FALSE(FindVersionValue(cut.Data(), shortBlock.size(), "\\", &value));
}

}  // namespace
