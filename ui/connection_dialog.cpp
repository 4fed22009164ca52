#include <algorithm>
#include <array>

#include "ui/config_dialogs.h"
#include "ui/dialog_builder.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

enum : int {
    kLogFile = 2,
    kCreateLog = 3,
    kLogLevel = 4,
    kServerTimeout = 7,
    kRetryCount = 9,
    kCacheLife = 11,
    kPipelineDepth = 13,
    kAccept = 16,
    kArticleSizeLimit = 18,  // after the buttons, so that the items before it keep their places
    kUseOverview = 20,
    kArticleCache = 21,
    kHeadersOnFirstEntry = 23,
    kCompression = 25,
};

constexpr std::array<DialogItemTemplate, 26> kTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgConnection},
    {DI_TEXT, 5, 2, 0, 0, kMsgLogFile},
    {DI_EDIT, 5, 3, 68, 0, 0},
    {DI_CHECKBOX, 5, 4, 0, 0, kMsgWriteLog},
    {DI_FIXEDIT, 7, 5, 7, 0, 0},
    {DI_TEXT, 9, 5, 0, 0, kMsgLogLevel},
    {DI_TEXT, 5, 6, 0, kSeparatorLine, 0},
    {DI_FIXEDIT, 5, 7, 8, 0, 0},
    {DI_TEXT, 10, 7, 0, 0, kMsgServerTimeout},
    {DI_FIXEDIT, 5, 8, 8, 0, 0},
    {DI_TEXT, 10, 8, 0, 0, kMsgRetries},
    {DI_FIXEDIT, 5, 9, 8, 0, 0},
    {DI_TEXT, 10, 9, 0, 0, kMsgCacheLife},
    {DI_FIXEDIT, 5, 10, 8, 0, 0},
    {DI_TEXT, 10, 10, 0, 0, kMsgPipelineDepth},
    {DI_TEXT, 5, 16, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 17, 0, kButtonRow, kMsgSave},
    {DI_BUTTON, 0, 17, 0, kButtonRow, kMsgCancel},
    {DI_FIXEDIT, 5, 11, 8, 0, 0},
    {DI_TEXT, 10, 11, 0, 0, kMsgArticleSizeLimit},
    {DI_CHECKBOX, 5, 12, 0, 0, kMsgUseOverview},
    {DI_FIXEDIT, 5, 13, 8, 0, 0},
    {DI_TEXT, 10, 13, 0, 0, kMsgArticleCache},
    {DI_FIXEDIT, 5, 14, 11, 0, 0},
    {DI_TEXT, 13, 14, 0, 0, kMsgHeadersOnFirstEntry},
    {DI_CHECKBOX, 5, 15, 0, 0, kMsgCompression},
}};

}  // namespace

bool ConnectionDialog() {
    TConnectOptions& connect = Options.Connect;
    DialogItems items = BuildDialog(kTemplate, kAccept, kLogFile);
    SetItemHistory(items[kLogFile], "KstrvLog");
    SetItemText(items[kLogFile], connect.LogFile);
    SetItemCheck(items[kCreateLog], connect.CreateLog);
    SetItemNumber(items[kLogLevel], connect.LogLevel);
    SetItemNumber(items[kServerTimeout], connect.ServerTimeout);
    SetItemNumber(items[kRetryCount], connect.RetryCount);
    SetItemNumber(items[kCacheLife], connect.CacheLife);
    SetItemNumber(items[kPipelineDepth], connect.PipelineDepth);
    SetItemNumber(items[kArticleSizeLimit], connect.ArticleSizeLimit);
    SetItemNumber(items[kArticleCache], connect.ArticleCache);
    SetItemCheck(items[kUseOverview], connect.UseOverview);
    SetItemNumber(items[kHeadersOnFirstEntry], connect.HeadersOnFirstEntry);
    SetItemCheck(items[kCompression], connect.Compression);
    if (ShowDialog(items, "dlgConnection") != kAccept) return false;

    connect.LogFile = ItemText(items[kLogFile]);
    connect.CreateLog = ItemCheck(items[kCreateLog]);
    connect.LogLevel = ItemNumber(items[kLogLevel]);
    connect.ServerTimeout = ItemNumber(items[kServerTimeout]);
    connect.RetryCount = ItemNumber(items[kRetryCount]);
    connect.CacheLife = ItemNumber(items[kCacheLife]);
    connect.PipelineDepth =
        ClampPipelineDepth(ItemNumber(items[kPipelineDepth], kDefaultPipelineDepth));
    connect.ArticleSizeLimit = std::max(0, ItemNumber(items[kArticleSizeLimit]));
    connect.ArticleCache = std::max(0, ItemNumber(items[kArticleCache]));
    connect.UseOverview = ItemCheck(items[kUseOverview]);
    connect.HeadersOnFirstEntry =
        std::max(0, ItemNumber(items[kHeadersOnFirstEntry], kDefaultHeadersOnFirstEntry));
    connect.Compression = ItemCheck(items[kCompression]);
    SaveConnectOptions();
    return true;
}

}  // namespace kestrova
