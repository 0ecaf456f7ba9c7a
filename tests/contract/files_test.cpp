// Files and folders: search, attributes, read-only, delete and folder removal,
// by path and relative to an open folder.
#include <algorithm>

#include "contract_fixture.h"
#include "host/files.h"

using namespace host;
using namespace contract;

namespace {

class FilesTest : public ContractTest {
protected:
    void SetUp() override {
        ContractTest::SetUp();
        MakeFolder(m_scratch.Path("Åsa"));
        MakeFolder(m_scratch.Path("Empty"));
        WriteFileBytes(m_scratch.Path("Åsa\\user.dat"), "x");
        WriteFileBytes(m_scratch.Path("ANNA.PWL"), "x");
    }
    // The names a search lists, sorted.
    static std::vector<std::string> Listed(HANDLE search, WIN32_FIND_DATA* found) {
        std::vector<std::string> names;
        if (search == INVALID_HANDLE_VALUE) return names;
        do names.push_back(found->cFileName);
        while (FindNextFile(search, found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FilesTest, SearchesListWhatMatches) {
    WIN32_FIND_DATA found{};
    using Names = std::vector<std::string>;
    EXPECT_EQ(Listed(FindFirstFile(m_scratch.Path("*.*").c_str(), &found), &found),
              (Names{".", "..", "ANNA.PWL", "Empty", "Åsa"}));
    EXPECT_EQ(Listed(FindFirstFile(m_scratch.Path("*.pwl").c_str(), &found), &found), Names{"ANNA.PWL"});
    EXPECT_EQ(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(FindFirstFile(m_scratch.Path("*.none").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFile(m_scratch.Path("Nowhere\\*.*").c_str(), &found), INVALID_HANDLE_VALUE);

    const HANDLE folder = OpenDirectory(m_scratch.Path("åSA").c_str());
    ASSERT_NE(folder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Listed(FindFirstFileAt(folder, "*.*", &found), &found), (Names{".", "..", "user.dat"}));
    EXPECT_EQ(GetFileAttributesAt(folder, "USER.DAT") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(CloseDirectory(folder));
}

TEST_F(FilesTest, ReadOnlyEntriesAndFoldersThatHoldSomethingStay) {
    const std::string pwl = m_scratch.Path("anna.pwl"), folder = m_scratch.Path("Åsa");
    EXPECT_EQ(GetFileAttributes(m_scratch.Path("Nothing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributes(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(SetFileAttributes(pwl.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributes(pwl.c_str()) & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    const struct {
        const char* What;
        BOOL Done;
    } refused[] = {
        {"read-only file", DeleteFile(pwl.c_str())},
        {"folder as a file", DeleteFile(folder.c_str())},
        {"missing file", DeleteFile(m_scratch.Path("Nothing").c_str())},
        {"folder that holds a file", RemoveDirectory(folder.c_str())},
        {"file as a folder", RemoveDirectory(pwl.c_str())},
    };
    for (const auto& r : refused) EXPECT_FALSE(r.Done) << r.What;
    EXPECT_NE(GetFileAttributes(pwl.c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(SetFileAttributes(pwl.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributes(pwl.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(DeleteFile(pwl.c_str()));
    EXPECT_TRUE(RemoveDirectory(m_scratch.Path("EMPTY").c_str()));
    ASSERT_TRUE(DeleteFile(m_scratch.Path("ÅSA\\User.Dat").c_str()));
    EXPECT_TRUE(RemoveDirectory(folder.c_str()));
    EXPECT_EQ(GetFileAttributes(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A folder handle opens what it listed: a folder swapped in under a listed
// name is refused; one never listed is opened as it is; names, never paths.
TEST_F(FilesTest, AFolderSwappedAfterTheListingIsNotOpenedAndTheRestIsByHandle) {
    MakeFolder(m_scratch.Path("Top"));
    MakeFolder(m_scratch.Path("Top\\Anna"));
    WriteFileBytes(m_scratch.Path("Top\\Anna\\user.dat"), "x");
    const HANDLE top = OpenDirectory(m_scratch.Path("top").c_str());
    ASSERT_NE(top, INVALID_HANDLE_VALUE);
    WIN32_FIND_DATA found{};
    EXPECT_EQ(Listed(FindFirstFileAt(top, "*", &found), &found), (std::vector<std::string>{".", "..", "Anna"}));
    const HANDLE anna = OpenDirectoryAt(top, "anna");
    ASSERT_NE(anna, INVALID_HANDLE_VALUE) << "the listed folder, found without regard to case";
    EXPECT_TRUE(SetFileAttributesAt(anna, "USER.DAT", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFileAt(anna, "user.dat")) << "read-only";
    EXPECT_FALSE(RemoveDirectoryAt(top, "Anna")) << "not empty";
    EXPECT_TRUE(SetFileAttributesAt(anna, "user.dat", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileAt(anna, "user.dat"));
    CloseDirectory(anna);

    RenameEntry(m_scratch.Path("Top\\Anna"), m_scratch.Path("Top\\Åside"));
    RenameEntry(m_scratch.Path("Empty"), m_scratch.Path("Top\\Anna"));
    EXPECT_EQ(OpenDirectoryAt(top, "Anna"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDirectoryAt(top, "..\\Åsa"), INVALID_HANDLE_VALUE) << "a name, never a path";
    const HANDLE aside = OpenDirectoryAt(top, "åSIDE");
    EXPECT_NE(aside, INVALID_HANDLE_VALUE);
    CloseDirectory(aside);
    EXPECT_TRUE(RemoveDirectoryAt(top, "Anna"));
    EXPECT_EQ(GetFileAttributesAt(top, "Anna"), INVALID_FILE_ATTRIBUTES);
    CloseDirectory(top);
}

}  // namespace
