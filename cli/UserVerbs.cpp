// users and remove-user: the system's user profiles, as the Users menu has them.
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/Session.h"
#include "cli/Verbs.h"
#include "host/text.h"
#include "users/ProfileRemoval.h"
#include "users/UserProfiles.h"

namespace cli {
namespace {

constexpr unsigned IDS_NO_USER_NAMES = 2200;
constexpr unsigned IDS_OWN_PROFILE = 2203;

int ListUsers() {
    const std::vector<std::string> names = users::FillUserProfileList();
    Result()["users"] = names;
    if (names.empty()) return FailText(IDS_NO_USER_NAMES);
    for (const std::string& name : names) Print(name);
    return kOk;
}

struct RemoveOptions {
    std::string Name;
    bool Yes = false;
    bool LoggedOn = false;
    bool MissingOk = false;
};

// --check: what the removal would ask and refuse, without removing anything.
int CheckRemoval(Session& session, const std::string& name, const RemoveOptions& options) {
    if (users::IsOwnProfile(name)) return Fail(users::FormatText(IDS_OWN_PROFILE, {name}).Text);
    StationConfiguration& config = session.Configuration();
    config.LoadConfiguration();
    if (host::MbsICmp(name, config.CurrentUser) == 0 && !options.LoggedOn)
        return Fail(name + " is logged on at the V7 Station; add --logged-on to remove the profile anyway", kUsage);
    ReportChanged(true);
    Print("The user profile of " + name + " would be removed.");
    return kOk;
}

int RemoveUser(Session& session, const RemoveOptions& options) {
    // Only a listed profile, spelt as the list has it: the name picks folders to remove.
    std::string name;
    for (const std::string& listed : users::FillUserProfileList())
        if (host::MbsICmp(listed, options.Name) == 0) name = listed;
    Result()["user"] = name.empty() ? options.Name : name;
    ReportChanged(false);
    if (name.empty() && options.MissingOk) {
        Print("There is no user profile named \"" + options.Name + "\"; nothing to remove.");
        return kOk;
    }
    if (name.empty())
        return Fail("there is no user profile named \"" + host::TerminalText(options.Name) + "\"", kNotFound);
    if (session.Check()) return CheckRemoval(session, name, options);

    int refusal = kOk;
    bool failed = false;
    users::RemovalDialogue dialogue;
    dialogue.Confirm = [&](const users::Message&) {
        if (!options.Yes) refusal = RefuseWithoutYes("removing " + name + "'s user profile deletes its files");
        return options.Yes;
    };
    dialogue.ConfirmLoggedOn = [&](const users::Message& message) {
        if (options.LoggedOn) return true;
        Fail(message.Text);
        Fail(name + " is logged on at the V7 Station; add --logged-on to remove the profile anyway");
        refusal = kUsage;
        return false;
    };
    dialogue.Report = [&failed](const users::Message& message) {
        Fail(message.Text);
        failed = true;
    };
    // Who is logged on at the station is the drivers' to say; without them nobody is.
    session.TryOpenDriver();
    switch (users::RemoveUserProfile(name, session.Configuration(), dialogue)) {
    case users::RemovalOutcome::Declined: return refusal;
    case users::RemovalOutcome::Ran:
        ReportChanged(true);  // something was removed, whatever failed
        if (failed) return kFailed;
        Print("Removed the user profile of " + name + ".");
        return kOk;
    default: return kFailed;  // own profile (reported) or no name
    }
}

}  // namespace

void AddUserVerbs(CLI::App& app, Session& session) {
    app.add_subcommand("users", "List the user names of the system's profile list, sorted")->callback([&session] {
        session.SetExitCode(ListUsers());
    });
    auto* remove = app.add_subcommand(
        "remove-user", "Remove a user's profile: its folder, password file, password-list entry and registry key");
    auto options = std::make_shared<RemoveOptions>();
    remove->add_option("NAME", options->Name, "The user name, as \"v7ctl users\" lists it")->required();
    remove->add_flag("--yes,-y", options->Yes, "Go ahead: the profile's files are deleted");
    remove->add_flag("--logged-on", options->LoggedOn,
                     "Also when that user is logged on at the V7 Station");
    remove->add_flag("--missing-ok", options->MissingOk, "Succeed, changing nothing, when there is no such profile");
    remove->callback([&session, options] { session.SetExitCode(RemoveUser(session, *options)); });
}

}  // namespace cli
