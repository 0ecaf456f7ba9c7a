// Removing a user profile: the profile folder, the password file, the
// password-list entry in system.ini and the profile-list key, as the window
// and v7ctl both do it. The person's answers come in as callbacks; every
// failure is reported as it happens and the sequence goes on.
#pragma once

#include <functional>
#include <string>

#include "station/StationConfiguration.h"
#include "users/MessageText.h"

namespace users {

enum class RemovalOutcome {
    NothingChosen,  // no name: nothing asked, nothing done
    OwnProfile,     // the user the program runs as (message 2203): nothing removed
    Declined,       // No to a confirmation: nothing removed
    Ran,            // the four removals ran; each failure was reported
};

struct RemovalDialogue {
    // Message 2202; true to go on.
    std::function<bool(const Message&)> Confirm;
    // Message 2204, only for the person logged on at the station; true to go on.
    std::function<bool(const Message&)> ConfirmLoggedOn;
    // Message 2203 and the failures 2006, 2007, 2010, 2014.
    std::function<void(const Message&)> Report;
};

// True when name can be one folder name: not empty, ".", "..", and no "\",
// "/", ":" or control character.
bool IsPlainFolderName(const std::string& name);

// Whether name is the user the program runs as (compared without regard to
// case); false when the host cannot tell.
bool IsOwnProfile(const std::string& name);

// Removes the profile of name. config is reloaded, and the driver asked who
// is logged on at the station (nobody when it does not answer).
RemovalOutcome RemoveUserProfile(const std::string& name, StationConfiguration& config,
                                 const RemovalDialogue& dialogue);

}  // namespace users
