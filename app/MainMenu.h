// Menu 128 and accelerator table 128 of the main window, built in code. Items
// carry the wx IDs of their command numbers (CommandTable.h).
#pragma once

#include <span>

#include <wx/accel.h>

class wxMenuBar;

namespace mainmenu {

enum class ItemKind { Normal, Radio, Separator };

struct Item {
    int Command;  // system command number; 0 for a separator
    const char* Text;
    ItemKind Kind;
    bool Checked;  // initial mark of the template (radio items)
};

struct Popup {
    const char* Title;
    std::span<const Item> Items;
};

// The pop-ups of menu 128, in order, with their items.
std::span<const Popup> Layout();

wxMenuBar* BuildMenuBar();

// Ctrl+X issues the application-exit command 57665; F1 the help contents
// (57667), as a desktop program's F1 does.
wxAcceleratorTable BuildAccelerators();

}  // namespace mainmenu
