#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "host/emulated/root.h"
#include "host/emulated/version_block.h"
#include "host/version.h"
#include "support/TempHostRoot.h"

using namespace host;
using namespace host::emulated;
namespace fs = std::filesystem;

namespace {

VersionBlockFields DriverSpec() {
    VersionBlockFields fields;
    fields.FileVersion = {2, 30, 0, 112};
    fields.ProductVersion = {2, 30, 0, 0};
    fields.FileSubtype = 0x3AE3;
    fields.Strings = {{"CompanyName", "Halvorn Ölund ™"},
                    {"FileDescription", "V7 Station main driver"},
                    {"FileVersion", "2.30.0.112"},
                    {"ProductVersion", "2.30"}};
    return fields;
}

// The text VerQueryValue gives for subBlock, or "<none>".
std::string QueryText(const void* block, const char* subBlock) {
    void* buffer = nullptr;
    UINT length = 0;
    if (!VerQueryValue(block, subBlock, &buffer, &length)) return "<none>";
    const char* text = static_cast<const char*>(buffer);
    EXPECT_EQ(length, std::strlen(text) + 1) << subBlock;
    return text;
}

class VersionFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_block = BuildVersionBlock(DriverSpec());
        fs::create_directories(DriveCPath() / "WINDOWS" / "SYSTEM");
        // Some header bytes (an odd count, so the block is not aligned in the file), the block, a tail.
        std::ofstream out(DriveCPath() / "WINDOWS" / "SYSTEM" / "Brakor.vxd", std::ios::binary);
        out << "MZ" << std::string(61, '\x90');
        out.write(reinterpret_cast<const char*>(m_block.data()), static_cast<std::streamsize>(m_block.size()));
        out << std::string(100, '\0');
    }

    TempHostRoot m_root;
    std::vector<BYTE> m_block;
};

TEST_F(VersionFileTest, ADriverFileGivesItsBlockAndValues) {
    DWORD handle = 7;
    const DWORD size = GetFileVersionInfoSize("Brakor.vxd", &handle);  // a bare name: the system directory
    ASSERT_EQ(size, m_block.size());
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(GetFileVersionInfoSize("c:\\windows\\system\\BRAKOR.VXD", nullptr), size);

    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfo("Brakor.vxd", 0, size, data.data()));
    EXPECT_EQ(data, m_block);
    EXPECT_EQ(QueryText(data.data(), "\\StringFileInfo\\040904B0\\FileVersion"), "2.30.0.112");
    EXPECT_EQ(QueryText(data.data(), "\\stringfileinfo\\040904b0\\FILEVERSION"), "2.30.0.112");
    EXPECT_EQ(QueryText(data.data(), "\\StringFileInfo\\040904B0\\CompanyName"), "Halvorn Ölund ™");
    EXPECT_EQ(QueryText(data.data(), "\\StringFileInfo\\040904E4\\FileVersion"), "<none>");
    EXPECT_EQ(QueryText(data.data(), "\\StringFileInfo\\040904B0\\Comments"), "<none>");

    void* buffer = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValue(data.data(), "\\", &buffer, &length));
    ASSERT_EQ(length, sizeof(FixedFileInfo));
    FixedFileInfo fixed;
    std::memcpy(&fixed, buffer, sizeof fixed);
    EXPECT_EQ(fixed.Signature, kFixedFileInfoSignature);
    EXPECT_EQ(fixed.FileVersionMS, (2u << 16) | 30u);
    EXPECT_EQ(fixed.FileVersionLS, 112u);
    EXPECT_EQ(fixed.ProductVersionMS, (2u << 16) | 30u);
    EXPECT_EQ(fixed.FileType, kVftVxd);
    EXPECT_EQ(fixed.FileSubtype, 0x3AE3u);

    ASSERT_TRUE(VerQueryValue(data.data(), "\\VarFileInfo\\Translation", &buffer, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(std::memcmp(buffer, "\x09\x04\xB0\x04", 4), 0);
}

TEST_F(VersionFileTest, FilesWithoutAUsableBlockGiveNone) {
    std::vector<BYTE> data(m_block.size());
    EXPECT_FALSE(GetFileVersionInfo("Brakor.vxd", 0, static_cast<DWORD>(data.size() - 1), data.data()));
    EXPECT_EQ(GetFileVersionInfoSize("Quorel.vxd", nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSize("C:\\WINDOWS\\SYSTEM\\..\\..\\..\\Brakor.vxd", nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSize("", nullptr), 0u);

    std::ofstream(DriveCPath() / "WINDOWS" / "plain.vxd") << "MZ no resource here";
    EXPECT_EQ(GetFileVersionInfoSize("plain.vxd", nullptr), 0u);
    // The key is there, but its node claims more bytes than the file holds.
    std::vector<BYTE> cut(m_block.begin(), m_block.begin() + 100);
    std::ofstream(DriveCPath() / "WINDOWS" / "cut.vxd", std::ios::binary)
        .write(reinterpret_cast<const char*>(cut.data()), static_cast<std::streamsize>(cut.size()));
    EXPECT_EQ(GetFileVersionInfoSize("cut.vxd", nullptr), 0u);
    // A bare name is also looked for in the Windows directory.
    fs::rename(DriveCPath() / "WINDOWS" / "SYSTEM" / "Brakor.vxd", DriveCPath() / "WINDOWS" / "Brakor.vxd");
    EXPECT_EQ(GetFileVersionInfoSize("BRAKOR.VXD", nullptr), m_block.size());
}

// Reads a WORD of the block.
WORD At(const std::vector<BYTE>& block, std::size_t offset) {
    return static_cast<WORD>(block[offset] | block[offset + 1] << 8);
}

TEST(VersionBlockTest, TheBlockHasTheWindowsLayout) {
    const std::vector<BYTE> block = BuildVersionBlock(DriverSpec());
    EXPECT_EQ(At(block, 0), block.size());
    EXPECT_EQ(At(block, 2), 52);  // wValueLength: the fixed file info
    EXPECT_EQ(At(block, 4), 0);   // binary
    const char16_t key[] = u"VS_VERSION_INFO";
    EXPECT_EQ(std::memcmp(block.data() + 6, key, sizeof key), 0);  // with its NUL
    // 6 + 32 key bytes = 38, padded to 40.
    FixedFileInfo fixed;
    std::memcpy(&fixed, block.data() + 40, sizeof fixed);
    EXPECT_EQ(fixed.Signature, kFixedFileInfoSignature);
    EXPECT_EQ(fixed.StrucVersion, 0x00010000u);
    // The children follow at once (40 + 52 = 92): StringFileInfo, then VarFileInfo ending the block.
    const char16_t strings[] = u"StringFileInfo";
    EXPECT_EQ(std::memcmp(block.data() + 98, strings, sizeof strings), 0);
    const std::size_t var = (92 + At(block, 92) + 3) / 4 * 4;
    const char16_t vars[] = u"VarFileInfo";
    EXPECT_EQ(std::memcmp(block.data() + var + 6, vars, sizeof vars), 0);
    EXPECT_EQ(var + At(block, var), block.size());

    for (const char* path : {"\\StringFileInfo\\040904B0\\FileVersion", "\\StringFileInfo\\040904B0\\CompanyName",
                             "\\VarFileInfo\\Translation", "\\"}) {
        VersionValue value;
        ASSERT_TRUE(FindVersionValue(block.data(), block.size(), path, &value)) << path;
        EXPECT_EQ((value.Data - block.data()) % 4, 0) << path << ": values sit on DWORD boundaries";
    }
    // A string's wValueLength counts characters with the NUL, and its wType is 1.
    VersionValue version;
    ASSERT_TRUE(FindVersionValue(block.data(), block.size(), "\\StringFileInfo\\040904B0\\FileVersion", &version));
    EXPECT_EQ(version.Size, 2 * (std::strlen("2.30.0.112") + 1));
    EXPECT_TRUE(version.Text);
}

TEST(VersionBlockTest, VersionNumbersParse) {
    VersionNumbers numbers{};
    ASSERT_TRUE(ParseVersionNumbers("2.30.0.112", &numbers));
    EXPECT_EQ(numbers, (VersionNumbers{2, 30, 0, 112}));
    ASSERT_TRUE(ParseVersionNumbers("4.00.950", &numbers));
    EXPECT_EQ(numbers, (VersionNumbers{4, 0, 950, 0}));
    for (const char* bad : {"", "1.", ".1", "1.2.3.4.5", "1.65536", "1.x", "-1.2", "1 .2"})
        EXPECT_FALSE(ParseVersionNumbers(bad, &numbers)) << bad;
}

// A block placed so that its last byte is the last readable one: any read past
// the end faults.
class GuardedBlock {
public:
    explicit GuardedBlock(const std::vector<BYTE>& bytes) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        m_pages = (bytes.size() + page - 1) / page + 1;
        m_size = m_pages * page;
        m_memory = static_cast<BYTE*>(mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(m_memory + m_size - page, page, PROT_NONE);
        m_block = m_memory + m_size - page - bytes.size();
        std::memcpy(m_block, bytes.data(), bytes.size());
    }
    ~GuardedBlock() { munmap(m_memory, m_size); }
    BYTE* Data() const { return m_block; }

private:
    BYTE* m_memory = nullptr;
    BYTE* m_block = nullptr;
    std::size_t m_pages = 0, m_size = 0;
};

TEST(VersionBlockTest, MalformedLengthsNeverLeadOutsideTheBlock) {
    const std::vector<BYTE> good = BuildVersionBlock(DriverSpec());
    const char* paths[] = {"\\", "\\StringFileInfo\\040904B0\\FileVersion", "\\StringFileInfo\\040904B0\\ProductVersion",
                           "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904B0\\Missing"};
    int found = 0;
    // Every WORD of the block, set to lengths that are too small, too large or odd.
    for (std::size_t offset = 0; offset + 1 < good.size(); offset += 2) {
        for (WORD bad : {WORD{0}, WORD{1}, WORD{5}, WORD{6}, WORD{7}, WORD{0xFFFF},
                         static_cast<WORD>(At(good, offset) + 2), static_cast<WORD>(At(good, offset) - 2)}) {
            std::vector<BYTE> bytes = good;
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
    std::vector<BYTE> shortBlock(good.begin(), good.end() - 4);
    GuardedBlock cut(shortBlock);
    VersionValue value;
    EXPECT_FALSE(FindVersionValue(cut.Data(), shortBlock.size(), "\\", &value));
}

}  // namespace
