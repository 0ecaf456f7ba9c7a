// What a window program needs to know of the host beyond the system calls:
// the command-line option that chooses the host, whether there is a display,
// the folder that keeps the host's own state, and a registry that cannot be
// used. The emulated host answers from its host root; Windows from the
// machine itself, which is the one host there is.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace host {

// Takes the host's own options out of a program's arguments, wherever they
// stand, and points the process at that host. False, with one line in *error,
// for an option without its value.
bool TakeHostOptions(std::vector<std::string>* args, std::string* error);
// Those options for a usage line ("[--root PATH] ", or empty), and a
// paragraph of --help that says which host the program works on.
const char* HostOptionsUsage();
const char* HostOptionsHelp();

// Whether a window can be shown in this session; false with one line in *why.
bool HasDisplay(std::string* why);

// The folder that holds this host's own state, keeping one host apart from
// another on the same machine (the emulated host's root); empty where the
// machine is the only host.
std::filesystem::path HostFolder();

// Why the registry cannot be used as the control center needs it, as one
// line; empty while all is well.
std::string RegistryProblem();

}  // namespace host
