// The help viewer module missing, damaged or named by a relative path: each
// help command says why in a message box and returns false, and the program
// goes on. Run in a fresh copy of this test program (a death test), because a
// viewer that loaded once stays loaded for the rest of the process.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "resources/ui/HelpBook.h"

namespace {

struct BrokenModule {
    const char* Case;
    std::string Path;
    const char* Reason;  // in the loader's words, in every box
};

// The number of cases that went wrong; each is described on stderr.
int CheckEachCase(const std::vector<BrokenModule>& cases) {
    int wrong = 0;
    for (const BrokenModule& broken : cases) {
        setenv("V7_HELP_MODULE", broken.Path.c_str(), 1);
        guitest::DialogRecorder boxes(/*wanted=*/true);
        const bool shown = HelpBook::ShowContents(nullptr) || HelpBook::ShowTopicFor(nullptr);
        const bool located = !HelpBook::BookLocation().empty();
        HelpBook::Shutdown();
        bool said = boxes.Texts.size() == 2;
        for (const std::string& text : boxes.Texts)
            said = said && text.find("help viewer did not load") != std::string::npos &&
                   text.find(broken.Reason) != std::string::npos;
        if (shown || located || !said) {
            ++wrong;
            std::fprintf(stderr, "%s: shown %d, book located %d, boxes:\n", broken.Case, shown, located);
            for (const std::string& text : boxes.Texts) std::fprintf(stderr, "  [%s]\n", text.c_str());
        }
    }
    return wrong;
}

class HelpModule : public guitest::GuiTest {};

TEST_F(HelpModule, MissingDamagedOrRelativeModuleShowsWhyAndHelpGoesOnFailing) {
    m_guard.reset();  // the boxes are expected
    const std::string damaged = (m_root->Path() / "help-viewer.so").string();
    std::ofstream(damaged) << std::string(200, 'x');
    const std::vector<BrokenModule> cases{
        {"missing", (m_root->Path() / "none" / "help-viewer.so").string(), "No such file"},
        {"damaged", damaged, "invalid ELF header"},
        {"relative", "help-viewer.so", "not an absolute path"},
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(CheckEachCase(cases)), ::testing::ExitedWithCode(0), "");
}

}  // namespace
