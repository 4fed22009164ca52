// kestrova: the host program. Runs a script of user actions against the module and prints the
// transcript, or moves the settings store to and from a text file.
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "common/errors.h"
#include "host/module_loader.h"
#include "host/script_runner.h"
#include "store/settings_transfer.h"

namespace {

constexpr const char* kUsage =
    "usage: kestrova --script FILE            run a script of user actions (FILE \"-\": standard "
    "input)\n"
    "       kestrova --export-settings FILE   write the settings store to a text file\n"
    "       kestrova --import-settings FILE   apply such a file to the settings store\n"
    "The module is KESTROVA_MODULE or kestrova.so next to this program; see host/README.md.\n";

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
                                        kestrova::SettingsText);
    const int result = runner.Run(script.str());
    std::cout.flush();
    if (result != 0) std::cerr << "kestrova: the script failed (see the transcript's last line)\n";
    return result;
}

// The settings store lives in KESTROVA_HOME; the module's own code reads and writes the text.
int TransferSettings(bool exporting, const char* path) {
    try {
        if (exporting)
            kestrova::ExportSettings(path);
        else
            kestrova::ImportSettings(path);
        return 0;
    } catch (const kestrova::Exception& error) {
        std::cerr << "kestrova: " << error.what() << '\n';
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--script") == 0) return RunScript(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--export-settings") == 0)
        return TransferSettings(true, argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--import-settings") == 0)
        return TransferSettings(false, argv[2]);
    std::cerr << kUsage;
    return 2;
}
