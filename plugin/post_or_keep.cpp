// PostOrKeep: a composed article that the server did not take is offered again, or kept, so that
// nothing the user wrote is lost.
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "plugin/nntp_plugin.h"
#include "ui/host_services.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/postponed.h"

namespace kestrova {
namespace {

enum : int { kEditAgain = 0 };

}  // namespace

bool TNntpPlugin::PostOrKeep(const std::string& name, TStream& headers, const TPostInfo& post,
                             int outcome) {
    const auto keep = [&] {
        TFileStream text(name, 0);
        return KeepPostponed(headers, text.ReadText(), post.Subject);
    };
    while (true) {
        std::string reason;
        try {
            if (PostArticle("", name, headers, post, outcome) == kAnswerDone) return true;
        } catch (const EAbort&) {
            // Stopped by the user: asked below like a skipped one.
        } catch (const EInternetLeave&) {
            keep();
            throw;
        } catch (const EPluginLeave&) {
            keep();
            throw;
        } catch (const Exception& failure) {
            reason = failure.Message;
        }
        std::vector<std::string> lines = {PanelHost, GetMsg(kMsgNotPosted)};
        if (!reason.empty()) lines.push_back(reason);
        if (ShowMessage(FMSG_WARNING, lines, {kMsgEditAgain, kMsgKeepArticle}) == kEditAgain) {
            EditComposed(name, post.Subject, 0, 0);
            continue;
        }
        const std::string kept = keep();
        ShowMessage(0, {PanelHost, GetMsg(kMsgArticleKept), kept}, {kMsgOk});
        if (StartupInfo.Control) {
            std::string folder = PostponedFolder();
            StartupInfo.Control(Handle(), FCTL_SETANOTHERPANELDIR, folder.data());
        }
        return false;
    }
}

}  // namespace kestrova
