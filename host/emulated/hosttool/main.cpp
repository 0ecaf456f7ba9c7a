// v7-host: sets up an emulated host root as the product's installer would and
// inspects it. Every failure is one line on stderr and a non-zero exit.
#include <iostream>
#include <string>
#include <vector>

#include "host/emulated/hosttool/Commands.h"
#include "host/emulated/hosttool/Installer.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/emulated/root.h"
#include "host/text.h"
#include "resources/Version.h"

namespace {

// Between the two: the system-wide root.
constexpr const char* kHelpRoot =
    "usage: v7-host [--root PATH] COMMAND\n"
    "\n"
    "Works on the host root PATH, else the one named by V7_HOST_ROOT, else the\n"
    "default: ";
constexpr const char* kHelp =
    " for root,\n"
    "~/.local/share/orvane-v7/host for other users.\n"
    "\n"
    "  init [--force|--if-needed]\n"
    "                       set the root up as the installer would, or add only\n"
    "                       what it lacks (nothing present is overwritten; a root\n"
    "                       that lacks nothing is refused, or with --if-needed\n"
    "                       left alone); --force replaces an existing registry,\n"
    "                       drive C: and station log\n"
    "  reg export [KEY]     print a key tree as REGEDIT4 text (default: all of\n"
    "                       HKEY_LOCAL_MACHINE; HKLM\\... is accepted)\n"
    "  reg import FILE      apply a REGEDIT4 file (\"-\" reads stdin) all or nothing:\n"
    "                       a file with a bad line changes nothing; at most 16 MiB\n"
    "  drivers              list the loaded drivers (name, device number, version)\n"
    "  stations             list the stations and their current users\n"
    "  config               print the station configuration as the control center loads it\n"
    "  messages             print the messages the station received, each after a\n"
    "                       \"--- <time>\" line, as received but with control\n"
    "                       characters shown as \\xNN\n"
    "  --version            print the version\n"
    "  --help               show this text\n";

[[noreturn]] void Usage(const std::string& what) {
    throw hosttool::ToolError(what + " (see v7-host --help)", hosttool::kExitUsage);
}

void Run(const std::vector<std::string>& args) {
    using namespace hosttool;
    if (args.empty()) Usage("no command given");
    const std::string& command = args[0];
    auto expectCount = [&](std::size_t min, std::size_t max) {
        if (args.size() < min || args.size() > max) Usage("wrong number of arguments for \"" + command + "\"");
    };

    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kHelpRoot << host::emulated::SystemHostRoot().native() << kHelp;
    } else if (command == "--version") {
        expectCount(1, 1);
        std::cout << "v7-host " V7_PRODUCT_VERSION "\n";
    } else if (command == "init") {
        expectCount(1, 2);
        InitMode mode = InitMode::Complete;
        if (args.size() == 2 && args[1] == "--force")
            mode = InitMode::Replace;
        else if (args.size() == 2 && args[1] == "--if-needed")
            mode = InitMode::IfNeeded;
        else if (args.size() == 2)
            Usage("unknown option \"" + args[1] + "\" for init");
        InitHost(mode, std::cout);
    } else if (command == "reg") {
        if (args.size() < 2) Usage("reg needs export or import");
        if (args[1] == "export") {
            expectCount(2, 3);
            ExportRegistry(args.size() == 3 ? args[2] : "HKEY_LOCAL_MACHINE", std::cout);
        } else if (args[1] == "import") {
            expectCount(3, 3);
            ImportRegistry(args[2]);
        } else {
            Usage("unknown reg command \"" + args[1] + "\"");
        }
    } else if (command == "drivers") {
        expectCount(1, 1);
        ListDrivers(std::cout);
    } else if (command == "stations") {
        expectCount(1, 1);
        ListStations(std::cout);
    } else if (command == "config") {
        expectCount(1, 1);
        PrintConfiguration(std::cout);
    } else if (command == "messages") {
        expectCount(1, 1);
        PrintMessages(std::cout);
    } else {
        Usage("unknown command \"" + command + "\"");
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Each command reports a registry problem in its own one-line message.
    host::emulated::EchoRegistryProblems(false);
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        std::string rootError;
        if (!host::emulated::TakeRootOption(&args, &rootError)) Usage(rootError);
        Run(args);
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "v7-host: could not write the output\n";
            return hosttool::kExitFailure;
        }
        return 0;
    } catch (const hosttool::ToolError& e) {
        std::cout.flush();
        std::cerr << "v7-host: " << host::TerminalText(e.what()) << '\n';
        return e.ExitCode();
    } catch (const std::exception& e) {
        std::cerr << "v7-host: " << host::TerminalText(e.what()) << '\n';
        return hosttool::kExitFailure;
    }
}
