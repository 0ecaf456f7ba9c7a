// The broadcast text: trimming, the sender, the head, line breaks and the
// length limit. What the station receives: tests/unit/cli (v7ctl message) and
// the channel's cut on a character boundary: tests/unit/station.
#include <gtest/gtest.h>

#include <string>

#include "users/Broadcast.h"

namespace {

using users::BroadcastResult;

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

TEST(BroadcastText, OnlyATextOfOneTo200CharactersIsHandedToTheDrivers) {
    // No drivers run here: a text that passes the checks is refused by the channel.
    EXPECT_EQ(users::SendBroadcast("Bob", std::string(201, 'x')), BroadcastResult::TooLong);
    EXPECT_EQ(users::SendBroadcast("Bob", " \r\n\t "), BroadcastResult::Empty);
    EXPECT_EQ(users::SendBroadcast("Bob", "  " + std::string(200, 'x') + "\r\n"), BroadcastResult::Refused);
}

}  // namespace
