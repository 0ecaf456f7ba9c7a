#include "app/MainMenu.h"

#include <wx/menu.h>

#include "resources/ui/CommandTable.h"

namespace mainmenu {
namespace {

using enum ItemKind;
constexpr Item kSeparator{0, "", Separator, false};

constexpr Item kFile[] = {
    {cmd::ID_SHUTDOWN_WINDOWS, "Sh&ut Down Windows...", Normal, false},
    kSeparator,
    {cmd::ID_EXIT, "E&xit", Normal, false},
};
constexpr Item kUsers[] = {
    {cmd::ID_REMOVE_USER, "&Remove User ...", Normal, false},
    {cmd::ID_DISPLAY_USERS, "&Display Users...", Normal, false},
};
constexpr Item kStation[] = {
    {cmd::ID_STATION_ON, "Turn O&n the V7 Station", Normal, false},
    {cmd::ID_STATION_OFF, "Turn O&ff the V7 Station", Normal, false},
    {cmd::ID_STATION_TEST, "T&est the V7 Station...", Normal, false},
};
constexpr Item kMessages[] = {
    {cmd::ID_SEND_MESSAGE, "&Send a message...", Normal, false},
};
// The template marks 32779 and 32781; the update rules replace the marks
// whenever the pop-up opens.
constexpr Item kOptions[] = {
    {cmd::ID_AUTOLAUNCH_ON, "&Turn On V7 Station when PC starts", Radio, true},
    {cmd::ID_AUTOLAUNCH_OFF, "&Leave V7 Station Off when PC starts", Radio, false},
    kSeparator,
    {cmd::ID_ALLOW_SHUTDOWN, "&Allow System Shut Down requests", Radio, false},
    {cmd::ID_STOP_SHUTDOWN, "&Stop System Shut Down requests", Radio, true},
    kSeparator,
    {cmd::ID_STATION_OPTIONS, "&More...", Normal, false},
};
constexpr Item kHelp[] = {
    {cmd::ID_HELP_FINDER, "&Contents and Index", Normal, false},
    {cmd::ID_HELP_USING, "&Help Using Help", Normal, false},
    {cmd::ID_MORE_HELP, "&Where to Go for More Help", Normal, false},
    kSeparator,
    {cmd::ID_APP_ABOUT, "&About Orvane V7...", Normal, false},
};

constexpr Popup kPopups[] = {
    {"&File", kFile},       {"&Users", kUsers},     {"&Station", kStation},
    {"&Messages", kMessages}, {"&Options", kOptions}, {"&Help", kHelp},
};

wxMenu* BuildPopup(const Popup& popup) {
    auto* menu = new wxMenu;
    for (const Item& item : popup.Items) {
        switch (item.Kind) {
        case Separator:
            menu->AppendSeparator();
            break;
        case Normal:
            menu->Append(cmd::ToWxId(item.Command), wxString::FromUTF8(item.Text));
            break;
        case Radio:
            menu->AppendRadioItem(cmd::ToWxId(item.Command), wxString::FromUTF8(item.Text));
            break;
        }
    }
    // Marks are set after the whole group exists: appending a radio item
    // moves the group's mark.
    for (const Item& item : popup.Items)
        if (item.Kind == Radio && item.Checked) menu->Check(cmd::ToWxId(item.Command), true);
    return menu;
}

}  // namespace

std::span<const Popup> Layout() { return kPopups; }

wxMenuBar* BuildMenuBar() {
    auto* bar = new wxMenuBar;
    for (const Popup& popup : kPopups) bar->Append(BuildPopup(popup), wxString::FromUTF8(popup.Title));
    return bar;
}

wxAcceleratorTable BuildAccelerators() {
    wxAcceleratorEntry entries[] = {
        wxAcceleratorEntry(wxACCEL_CTRL, 'X', cmd::ToWxId(cmd::ID_APP_EXIT)),
        wxAcceleratorEntry(wxACCEL_NORMAL, WXK_F1, cmd::ToWxId(cmd::ID_HELP_FINDER)),
    };
    return wxAcceleratorTable(static_cast<int>(std::size(entries)), entries);
}

}  // namespace mainmenu
