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
    static std::vector<std::string> Listed(HANDLE search, FindData* found) {
        std::vector<std::string> names;
        if (search == kInvalidHandle) return names;
        do names.push_back(found->cFileName);
        while (FindNext(search, found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FilesTest, SearchesListWhatMatches) {
    FindData found{};
    using Names = std::vector<std::string>;
    EXPECT_EQ(Listed(FindFirst(m_scratch.Path("*.*").c_str(), &found), &found),
              (Names{".", "..", "ANNA.PWL", "Empty", "Åsa"}));
    EXPECT_EQ(Listed(FindFirst(m_scratch.Path("*.pwl").c_str(), &found), &found), Names{"ANNA.PWL"});
    EXPECT_EQ(found.dwFileAttributes & kAttributeDirectory, 0u);
    EXPECT_EQ(FindFirst(m_scratch.Path("*.none").c_str(), &found), kInvalidHandle);
    EXPECT_EQ(FindFirst(m_scratch.Path("Nowhere\\*.*").c_str(), &found), kInvalidHandle);

    const HANDLE folder = OpenDirectory(m_scratch.Path("åSA").c_str());
    ASSERT_NE(folder, kInvalidHandle);
    EXPECT_EQ(Listed(FindFirstAt(folder, "*.*", &found), &found), (Names{".", "..", "user.dat"}));
    EXPECT_EQ(GetAttributesAt(folder, "USER.DAT") & kAttributeDirectory, 0u);
    EXPECT_TRUE(CloseDirectory(folder));
}

TEST_F(FilesTest, ReadOnlyEntriesAndFoldersThatHoldSomethingStay) {
    const std::string pwl = m_scratch.Path("anna.pwl"), folder = m_scratch.Path("Åsa");
    EXPECT_EQ(GetAttributes(m_scratch.Path("Nothing").c_str()), kInvalidAttributes);
    EXPECT_EQ(GetAttributes(folder.c_str()) & kAttributeDirectory, kAttributeDirectory);
    ASSERT_TRUE(SetAttributes(pwl.c_str(), kAttributeReadOnly));
    EXPECT_EQ(GetAttributes(pwl.c_str()) & kAttributeReadOnly, kAttributeReadOnly);
    const struct {
        const char* What;
        BOOL Done;
    } refused[] = {
        {"read-only file", RemoveFile(pwl.c_str())},
        {"folder as a file", RemoveFile(folder.c_str())},
        {"missing file", RemoveFile(m_scratch.Path("Nothing").c_str())},
        {"folder that holds a file", RemoveFolder(folder.c_str())},
        {"file as a folder", RemoveFolder(pwl.c_str())},
    };
    for (const auto& r : refused) EXPECT_FALSE(r.Done) << r.What;
    EXPECT_NE(GetAttributes(pwl.c_str()), kInvalidAttributes);

    ASSERT_TRUE(SetAttributes(pwl.c_str(), kAttributeNormal));
    EXPECT_EQ(GetAttributes(pwl.c_str()) & kAttributeReadOnly, 0u);
    EXPECT_TRUE(RemoveFile(pwl.c_str()));
    EXPECT_TRUE(RemoveFolder(m_scratch.Path("EMPTY").c_str()));
    ASSERT_TRUE(RemoveFile(m_scratch.Path("ÅSA\\User.Dat").c_str()));
    EXPECT_TRUE(RemoveFolder(folder.c_str()));
    EXPECT_EQ(GetAttributes(folder.c_str()), kInvalidAttributes);
}

// A folder handle opens what it listed: a folder swapped in under a listed
// name is refused; one never listed is opened as it is; names, never paths.
TEST_F(FilesTest, AFolderSwappedAfterTheListingIsNotOpenedAndTheRestIsByHandle) {
    MakeFolder(m_scratch.Path("Top"));
    MakeFolder(m_scratch.Path("Top\\Anna"));
    WriteFileBytes(m_scratch.Path("Top\\Anna\\user.dat"), "x");
    const HANDLE top = OpenDirectory(m_scratch.Path("top").c_str());
    ASSERT_NE(top, kInvalidHandle);
    FindData found{};
    EXPECT_EQ(Listed(FindFirstAt(top, "*", &found), &found), (std::vector<std::string>{".", "..", "Anna"}));
    const HANDLE anna = OpenDirectoryAt(top, "anna");
    ASSERT_NE(anna, kInvalidHandle) << "the listed folder, found without regard to case";
    EXPECT_TRUE(SetAttributesAt(anna, "USER.DAT", kAttributeReadOnly));
    EXPECT_FALSE(RemoveFileAt(anna, "user.dat")) << "read-only";
    EXPECT_FALSE(RemoveFolderAt(top, "Anna")) << "not empty";
    EXPECT_TRUE(SetAttributesAt(anna, "user.dat", kAttributeNormal));
    EXPECT_TRUE(RemoveFileAt(anna, "user.dat"));
    CloseDirectory(anna);

    RenameEntry(m_scratch.Path("Top\\Anna"), m_scratch.Path("Top\\Åside"));
    RenameEntry(m_scratch.Path("Empty"), m_scratch.Path("Top\\Anna"));
    EXPECT_EQ(OpenDirectoryAt(top, "Anna"), kInvalidHandle);
    EXPECT_EQ(OpenDirectoryAt(top, "..\\Åsa"), kInvalidHandle) << "a name, never a path";
    const HANDLE aside = OpenDirectoryAt(top, "åSIDE");
    EXPECT_NE(aside, kInvalidHandle);
    CloseDirectory(aside);
    EXPECT_TRUE(RemoveFolderAt(top, "Anna"));
    EXPECT_EQ(GetAttributesAt(top, "Anna"), kInvalidAttributes);
    CloseDirectory(top);
}

}  // namespace
