// Whether this build carries the help book. The help commands are greyed
// without it.
#pragma once

#if __has_include("app/HelpBook.h")
#include "app/HelpBook.h"
#define V7_HAVE_HELP_BOOK 1
inline constexpr bool kHaveHelpBook = true;
#else
#define V7_HAVE_HELP_BOOK 0
inline constexpr bool kHaveHelpBook = false;
#endif
