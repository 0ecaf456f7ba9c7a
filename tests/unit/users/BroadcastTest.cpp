// The broadcast text: trimming, the sender, the head, line breaks, the length
// limit, and what the real station drivers receive.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "host/emulated/root.h"
#include "unit/station/DriverTestSupport.h"
#include "users/Broadcast.h"

namespace {

using users::BroadcastResult;

// The messages in the station log, escapes as the log writes them.
std::vector<std::string> LoggedMessages() {
    std::ifstream log(host::emulated::StationLogPath());
    std::vector<std::string> messages;
    for (std::string line; std::getline(log, line);) {
        const std::size_t tab = line.find('\t');
        if (line.compare(tab + 1, 8, "message\t") == 0) messages.push_back(line.substr(tab + 9));
    }
    return messages;
}

TEST(BroadcastText, TrimsCountsAndComposes) {
    struct Case {
        std::string Typed, Trimmed;
        std::size_t Characters;  // of the trimmed text
        std::string Composed;    // from "Anna"
    };
    const Case cases[] = {
        {" \t\r\n\v\fHi\r\n \f", "Hi", 2, "From:  Anna\n\nHi"},
        {"line one\r\nline two", "line one\r\nline two", 17, "From:  Anna\n\nline one\r\nline two"},
        // A line break typed as LF or CR alone reaches the station as CR LF.
        {"a\nb\rc", "a\nb\rc", 5, "From:  Anna\n\na\r\nb\r\nc"},
        {"100% %s %d", "100% %s %d", 10, "From:  Anna\n\n100% %s %d"},
        {"Grüße 😀", "Grüße 😀", 7, "From:  Anna\n\nGrüße 😀"},
        {" \r\n\t ", "", 0, "From:  Anna\n\n"},
    };
    for (const Case& c : cases) {
        const std::string trimmed = users::TrimWhiteSpace(c.Typed);
        EXPECT_EQ(trimmed, c.Trimmed) << c.Typed;
        EXPECT_EQ(users::CountCharacters(trimmed), c.Characters) << c.Typed;
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

TEST(Broadcast, SendsWithinTheLimitAndWhatTheStationReceivesEndsOnACharacterBoundary) {
    StationDriversFixture drivers({}, true, /*stationOnAtStart=*/true);
    ASSERT_TRUE(drivers.DriversStarted());
    StationConfiguration config;
    ASSERT_TRUE(users::StationIsOn(config));

    struct Case {
        std::string Text;
        BroadcastResult Result;
        std::string Logged;  // the last logged message afterwards
    };
    const Case cases[] = {
        {"  Lunch?\r\nAt one.\r\n\r\n", BroadcastResult::Sent, "From:  Bob\\n\\nLunch?\\r\\nAt one."},
        // 200 characters go; 201 do not, nor does white space alone.
        {std::string(200, 'x'), BroadcastResult::Sent, "From:  Bob\\n\\n" + std::string(200, 'x')},
        {std::string(201, 'y'), BroadcastResult::TooLong, "From:  Bob\\n\\n" + std::string(200, 'x')},
        {" \r\n ", BroadcastResult::Empty, "From:  Bob\\n\\n" + std::string(200, 'x')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(users::SendBroadcast("Bob", c.Text), c.Result) << c.Text;
        EXPECT_EQ(LoggedMessages().back(), c.Logged) << c.Text;
    }

    // 70 bytes of head and 100 two-byte characters: byte 255 would fall inside
    // a character, so the station receives 254 bytes.
    const std::string name(61, 'n');
    std::string umlauts;
    for (int i = 0; i < 100; ++i) umlauts += "\xC3\xBC";
    EXPECT_EQ(users::SendBroadcast(name, umlauts), BroadcastResult::Sent);
    EXPECT_EQ(LoggedMessages().back(), "From:  " + name + "\\n\\n" + umlauts.substr(0, 254 - 70));
}

TEST(Broadcast, StationOffOrDriversRefusingSendsNothing) {
    StationDriversFixture drivers;  // the station stays off
    ASSERT_TRUE(drivers.DriversStarted());
    StationConfiguration config;
    EXPECT_FALSE(users::StationIsOn(config));
    // Even when the registry were wrong, the drivers deliver to a station that is on only.
    EXPECT_EQ(users::SendBroadcast("Bob", "hello"), BroadcastResult::Refused);
    EXPECT_TRUE(LoggedMessages().empty());
}

}  // namespace
