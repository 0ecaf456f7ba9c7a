// The packed help book, read through the same virtual file system the help
// viewer uses: the project, contents and index name pages that exist, links
// between pages resolve, and every dialog template has its topic.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <wx/filesys.h>
#include <wx/html/helpdata.h>
#include <wx/stream.h>

#include "app/HelpBook.h"

namespace {

std::string ArchiveMember(const wxString& name) {
    return (HelpBook::BookLocation() + "#zip:" + name).ToStdString();
}

// The text of one member of the archive; nullopt-like empty flag when absent.
bool ReadMember(const std::string& name, std::string& text) {
    wxFileSystem fs;
    std::unique_ptr<wxFSFile> file(fs.OpenFile(ArchiveMember(name)));
    if (!file)
        return false;
    wxInputStream* in = file->GetStream();
    text.clear();
    char buffer[4096];
    while (in->Read(buffer, sizeof buffer).LastRead() > 0)
        text.append(buffer, in->LastRead());
    return true;
}

std::vector<std::string> Pages() {
    std::vector<std::string> pages;
    wxFileSystem fs;
    for (wxString found = fs.FindFirst(HelpBook::BookLocation() + "#zip:*.htm", wxFILE);
         !found.empty(); found = fs.FindNext())
        pages.push_back(found.AfterLast(':').ToStdString());
    return pages;
}

std::vector<std::string> Matches(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.push_back((*it)[1].str());
    return found;
}

// Pages named by the "Local" parameters of a contents or index file.
std::vector<std::string> LocalPages(const std::string& sitemap) {
    static const std::regex local(R"re(<param\s+name="Local"\s+value="([^"]*)")re",
                                  std::regex::icase);
    return Matches(sitemap, local);
}

TEST(HelpArchive, ProjectNamesContentsIndexAndDefaultTopicThatExist) {
    std::string project;
    ASSERT_TRUE(ReadMember("orvane-v7.hhp", project));
    std::string text;
    for (const char* key : {"Contents file", "Index file", "Default topic"}) {
        const std::regex option(std::string(key) + R"(=(\S+))");
        const auto values = Matches(project, option);
        ASSERT_EQ(values.size(), 1u) << key;
        EXPECT_TRUE(ReadMember(values[0], text)) << key << " names missing " << values[0];
    }
}

TEST(HelpArchive, ContentsAndIndexNamePagesOfTheArchiveAndContentsReachEveryPage) {
    std::string contents, index;
    ASSERT_TRUE(ReadMember("orvane-v7.hhc", contents));
    ASSERT_TRUE(ReadMember("orvane-v7.hhk", index));
    const auto pages = Pages();
    const std::set<std::string> archived(pages.begin(), pages.end());
    ASSERT_GE(archived.size(), 16u);

    const auto inContents = LocalPages(contents);
    const auto inIndex = LocalPages(index);
    ASSERT_FALSE(inContents.empty());
    ASSERT_GT(inIndex.size(), inContents.size());
    for (const auto& page : inContents)
        EXPECT_TRUE(archived.count(page)) << "contents names missing page " << page;
    for (const auto& page : inIndex)
        EXPECT_TRUE(archived.count(page)) << "index names missing page " << page;

    const std::set<std::string> reachable(inContents.begin(), inContents.end());
    for (const auto& page : archived)
        EXPECT_TRUE(reachable.count(page)) << page << " is not in the contents";
}

TEST(HelpArchive, EveryLinkBetweenPagesResolvesToAPageAndAnchor) {
    static const std::regex href(R"re(<a\s+href="([^"]*)")re", std::regex::icase);
    static const std::regex anchor(R"re(<a\s+name="([^"]*)")re", std::regex::icase);
    const auto pages = Pages();
    ASSERT_FALSE(pages.empty());
    int links = 0;
    for (const auto& page : pages) {
        std::string text;
        ASSERT_TRUE(ReadMember(page, text)) << page;
        // Plain ASCII (entities for the rest): the viewer needs no charset.
        EXPECT_EQ(std::count_if(text.begin(), text.end(),
                                [](char c) { return static_cast<unsigned char>(c) > 0x7e; }),
                  0)
            << page;
        for (const auto& target : Matches(text, href)) {
            ++links;
            EXPECT_EQ(target.find(':'), std::string::npos)
                << page << " links outside the book: " << target;
            const auto hash = target.find('#');
            const std::string file = hash == 0 ? page : target.substr(0, hash);
            std::string targetText;
            if (!ReadMember(file, targetText)) {
                ADD_FAILURE() << page << " links to missing page " << target;
                continue;
            }
            if (hash != std::string::npos) {
                const auto names = Matches(targetText, anchor);
                const std::string name = target.substr(hash + 1);
                EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
                    << page << " links to missing anchor " << target;
            }
        }
    }
    EXPECT_GT(links, 50);
}

TEST(HelpArchive, EveryDialogTemplateHasItsOwnTopicInTheContents) {
    wxHtmlHelpData book;
    ASSERT_TRUE(book.AddBook(HelpBook::BookLocation()));
    for (int templateNumber = 100; templateNumber <= 108; ++templateNumber) {
        SCOPED_TRACE(templateNumber);
        EXPECT_TRUE(HelpBook::IsDialogTopic(templateNumber));
        const wxString page = book.FindPageById(templateNumber);
        EXPECT_TRUE(page.EndsWith(wxString::Format("dialog-%d.htm", templateNumber)))
            << page;
    }
    EXPECT_FALSE(HelpBook::IsDialogTopic(99));
    EXPECT_FALSE(HelpBook::IsDialogTopic(109));
    EXPECT_TRUE(book.FindPageById(HelpBook::kPanelTopic).EndsWith("dialog-103.htm"));
    EXPECT_TRUE(book.FindPageByName("using-help.htm").EndsWith("using-help.htm"));
}

// The viewer's Search page runs this search over every page of the book.
std::set<std::string> PagesFoundFor(wxHtmlHelpData& book, const wxString& word) {
    std::set<std::string> found;
    wxHtmlSearchStatus search(&book, word, false, true);
    while (search.IsActive()) {
        if (search.Search() && search.GetCurItem())
            found.insert(search.GetCurItem()->page.AfterLast(':').ToStdString());
    }
    return found;
}

TEST(HelpArchive, SearchFindsTheTopicsThatMentionAWord) {
    wxHtmlHelpData book;
    ASSERT_TRUE(book.AddBook(HelpBook::BookLocation()));
    const auto vflatd = PagesFoundFor(book, "Vflatd.vxd");
    EXPECT_EQ(vflatd, std::set<std::string>{"troubleshooter.htm"});
    const auto refresh = PagesFoundFor(book, "interlaced");
    EXPECT_TRUE(refresh.count("dialog-106.htm"));
    EXPECT_TRUE(PagesFoundFor(book, "xyzzy").empty());
}

}  // namespace
