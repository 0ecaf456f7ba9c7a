// message: a short text to the person at the V7 Station, as Send a message does it.
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/Session.h"
#include "cli/Verbs.h"
#include "users/Broadcast.h"

namespace cli {
namespace {

constexpr unsigned IDS_BROADCAST_FAILED = 1501;
constexpr unsigned IDS_STATION_NOT_ON = 1504;

int BadText(const std::string& why) {
    Fail(why);
    return kUsage;
}

int SendMessageVerb(Session& session, std::string text) {
    if (text == "-") text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    if (text.find('\0') != std::string::npos) return BadText("the message holds a NUL byte; nothing was sent");
    const std::string trimmed = users::TrimWhiteSpace(text);
    if (trimmed.empty()) return BadText("the message is empty; nothing was sent");
    const std::size_t bytes = users::MessageBytes(trimmed);
    if (bytes > users::kMaxMessageBytes)
        return BadText("the message has " + std::to_string(bytes) + " bytes (a line break takes 2); at most " +
                       std::to_string(users::kMaxMessageBytes) + " can be sent");

    if (const int code = session.ReachDrivers(); code != kOk) return code;
    if (!users::StationIsOn(session.Configuration())) return FailText(IDS_STATION_NOT_ON);
    const std::string station = session.Configuration().StationName;
    Result()["station"] = station;
    if (session.Check()) {
        ReportChanged(true);
        Print("The message would be sent to " + station + ".");
        return kOk;
    }
    switch (users::SendBroadcast(users::SenderName(), trimmed)) {
    case users::BroadcastResult::Sent:
        ReportChanged(true);
        Print("The message was sent to " + station + ".");
        return kOk;
    default:
        ReportChanged(false);
        FailText(IDS_BROADCAST_FAILED);
        return Session::CallFailure();
    }
}

}  // namespace

void AddMessageVerbs(CLI::App& app, Session& session) {
    auto* message = app.add_subcommand("message", "Send a message to the person at the V7 Station (it must be on)");
    auto text = std::make_shared<std::string>();
    message->add_option("TEXT", *text, "The message, at most 200 bytes (UTF-8, a line break 2); - reads it from standard input")
        ->required();
    message->callback([&session, text] { session.SetExitCode(SendMessageVerb(session, *text)); });
}

}  // namespace cli
