#include "host/tui/full_screen.h"

#include <cstdlib>

#include "host/host.h"
#include "host/host_error.h"
#include "host/tui/main_screen.h"
#include "host/tui/terminal.h"
#include "host/tui/terminal_front_end.h"
#include "platform/codepages.h"
#include "platform/filesystem.h"

namespace kestrova::host {

int RunFullScreen(const std::string& target) {
    tui::Terminal terminal;
    tui::TerminalFrontEnd frontEnd;
    Host host(DefaultModulePath(), frontEnd, "");
    frontEnd.SetHelpFile(&host.Help());
    tui::MainScreen screen(terminal, host, frontEnd);
    screen.Draw();
    // Without a target, NNTPSERVER opens the module: on that server when no account is stored.
    const char* server = std::getenv("NNTPSERVER");
    if (target.empty() && server && *server) {
        try {
            host.OpenFromPluginsMenu(0);
        } catch (const HostError&) {
            // A module without a menu entry leaves the two panels as they are.
        }
    }
    if (!target.empty()) {
        const std::string oem = platform::Utf8ToOem(target);
        if (host.TakesCommandLine(oem)) {
            host.OpenCommandLine(oem);
        } else {
            const std::string path = platform::FromNativePath(target);
            const size_t slash = path.find_last_of('/');
            if (slash != std::string::npos)
                host.ActiveLocal().ChangeFolder(slash == 0 ? "/" : path.substr(0, slash));
            host.ActiveLocal().Reread();
            host.OpenFile(slash == std::string::npos ? path : path.substr(slash + 1));
        }
    }
    screen.Run();
    return 0;
}

}  // namespace kestrova::host
