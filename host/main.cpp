// kestrova: the host program. Opens the full-screen two-panel UI (optionally on a news URL or
// an account file), runs a script of user actions and prints the transcript, or moves the
// settings store to and from a text file.
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "host/host_error.h"
#include "host/module_loader.h"
#include "host/script_runner.h"
#include "host/tui/full_screen.h"
#include "platform/settings_transfer.h"

#ifndef KESTROVA_VERSION
#define KESTROVA_VERSION "unknown"
#endif

namespace {

constexpr const char* kUsage =
    "usage: kestrova [news://HOST[:PORT][/GROUP] | nntps://... | ACCOUNT-FILE]\n"
    "                                  open the full-screen two-panel UI (needs a terminal)\n"
    "       kestrova --script FILE     run a script of user actions (FILE \"-\": standard input)\n"
    "       kestrova --export-settings FILE   write the settings store to a text file\n"
    "       kestrova --import-settings FILE   apply such a file to the settings store\n"
    "       kestrova --help | --version\n"
    "The module is KESTROVA_MODULE or kestrova.so beside this program (or in ../lib/kestrova);\n"
    "see kestrova(1).\n";

int RunScript(const char* name) {
    std::ostringstream script;
    if (std::strcmp(name, "-") == 0) {
        script << std::cin.rdbuf();
    } else {
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            std::cerr << "kestrova: cannot read the script " << name << '\n';
            return 2;
        }
        script << in.rdbuf();
    }
    kestrova::host::ScriptRunner runner(std::cout, kestrova::host::DefaultModulePath(),
                                        kestrova::platform::SettingsText);
    const int result = runner.Run(script.str());
    std::cout.flush();
    if (result != 0) std::cerr << "kestrova: the script failed (see the transcript's last line)\n";
    return result;
}

// The settings store lives in KESTROVA_HOME; the platform library reads and writes the text.
int TransferSettings(bool exporting, const char* path) {
    try {
        if (exporting)
            kestrova::platform::ExportSettings(path);
        else
            kestrova::platform::ImportSettings(path);
        return 0;
    } catch (const kestrova::platform::SettingsTransferError& error) {
        std::cerr << "kestrova: " << error.what() << '\n';
        return 1;
    }
}

int FullScreen(const char* target) {
    try {
        return kestrova::host::RunFullScreen(target ? target : "");
    } catch (const kestrova::host::HostError& error) {
        std::cerr << "kestrova: " << error.what() << '\n';
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto is = [&](const char* option) {
        return argc >= 2 && std::strcmp(argv[1], option) == 0;
    };
    if (is("--help") || is("-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (is("--version")) {
        std::cout << "kestrova " << KESTROVA_VERSION << '\n';
        return 0;
    }
    const bool takesFile = is("--script") || is("--export-settings") || is("--import-settings");
    if (takesFile && argc != 3) {
        std::cerr << "kestrova: " << argv[1] << " needs one FILE\n" << kUsage;
        return 2;
    }
    if (is("--script")) return RunScript(argv[2]);
    if (is("--export-settings")) return TransferSettings(true, argv[2]);
    if (is("--import-settings")) return TransferSettings(false, argv[2]);
    if (argc >= 2 && argv[1][0] == '-' && std::strcmp(argv[1], "-") != 0) {
        std::cerr << "kestrova: unknown option " << argv[1] << '\n' << kUsage;
        return 2;
    }
    if (argc > 2) {
        std::cerr << "kestrova: one URL or file at most\n" << kUsage;
        return 2;
    }
    return FullScreen(argc == 2 ? argv[1] : nullptr);
}
