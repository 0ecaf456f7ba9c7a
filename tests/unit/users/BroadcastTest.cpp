// The broadcast text: trimming, the sender, the head, line breaks, the length
// limit in bytes and what the station receives through the running drivers.
#include <gtest/gtest.h>

#include <string>

#include "unit/station/DriverTestSupport.h"
#include "users/Broadcast.h"

namespace {

using users::BroadcastResult;

TEST(BroadcastText, TrimsCountsAndComposes) {
    struct Case {
        std::string Typed, Trimmed;
        std::size_t Bytes;     // of the trimmed text as sent
        std::string Composed;  // from "Anna"
    };
    const Case cases[] = {
        {" \t\r\n\v\fHi\r\n \f", "Hi", 2, "From:  Anna\n\nHi"},
        {"line one\r\nline two", "line one\r\nline two", 18, "From:  Anna\n\nline one\r\nline two"},
        // A line break typed as LF or CR alone reaches the station as CR LF.
        {"a\nb\rc", "a\nb\rc", 7, "From:  Anna\n\na\r\nb\r\nc"},
        {"100% %s %d", "100% %s %d", 10, "From:  Anna\n\n100% %s %d"},
        {"Grüße 😀", "Grüße 😀", 12, "From:  Anna\n\nGrüße 😀"},
        {" \r\n\t ", "", 0, "From:  Anna\n\n"},
    };
    for (const Case& c : cases) {
        const std::string trimmed = users::TrimWhiteSpace(c.Typed);
        EXPECT_EQ(trimmed, c.Trimmed) << c.Typed;
        EXPECT_EQ(users::MessageBytes(trimmed), c.Bytes) << c.Typed;
        EXPECT_EQ(users::ComposeMessage("Anna", trimmed), c.Composed) << c.Typed;
    }
}

TEST(BroadcastText, SenderIsTheTrimmedNameOrUnknown) {
    const std::pair<const char*, std::string> cases[] = {
        {"anna", "anna"}, {"  anna smith \t", "anna smith"}, {" \t ", "Unknown"}, {"", "Unknown"}, {nullptr, "Unknown"},
    };
    for (const auto& [login, sender] : cases) EXPECT_EQ(users::SenderNameOf(login), sender) << (login ? login : "null");
    EXPECT_FALSE(users::SenderName().empty());
}

TEST(BroadcastText, OnlyATextOfOneTo200BytesGoesOutAndItIsNeverCut) {
    StationDriversFixture drivers({}, true, true);  // the station is on from the start
    ASSERT_TRUE(drivers.DriversStarted());
    auto repeat = [](const std::string& text, int times) {
        std::string out;
        while (times-- > 0) out += text;
        return out;
    };
    const std::string x200(200, 'x');
    struct Case {
        std::string Sender, Text;
        BroadcastResult Result;
        std::string Logged;  // as the station log keeps it; "" = nothing arrives
    };
    const Case cases[] = {
        {"Bob", std::string(201, 'x'), BroadcastResult::TooLong, ""},
        // 201 and 202 bytes as sent: a line break goes out as CR LF, é takes 2 bytes.
        {"Bob", std::string(198, 'x') + "\nb", BroadcastResult::TooLong, ""},
        {"Bob", repeat("\xC3\xA9", 101), BroadcastResult::TooLong, ""},
        {"Bob", " \r\n\t ", BroadcastResult::Empty, ""},
        {"Bob", "  " + x200 + "\r\n", BroadcastResult::Sent, "From:  Bob\\n\\n" + x200},
        // A long name is shortened, on a character boundary, so that the whole text fits.
        {std::string(60, 'n'), x200, BroadcastResult::Sent, "From:  " + std::string(46, 'n') + "\\n\\n" + x200},
        {repeat("\xC3\xA9", 30), std::string(197, 'x'), BroadcastResult::Sent,
         "From:  " + repeat("\xC3\xA9", 24) + "\\n\\n" + std::string(197, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Sender.substr(0, 10) + " " + c.Text.substr(0, 10));
        const std::size_t before = StationLogEvents().size();
        EXPECT_EQ(users::SendBroadcast(c.Sender, c.Text), c.Result);
        const auto after = StationLogEvents();
        EXPECT_EQ(after.size(), before + (c.Logged.empty() ? 0 : 1));
        if (!c.Logged.empty() && !after.empty()) {
            EXPECT_EQ(after.back(), "message\t" + c.Logged);
        }
    }
}

}  // namespace
