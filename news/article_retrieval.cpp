#include "news/article_retrieval.h"

#include <optional>

#include "common/errors.h"
#include "common/format_text.h"
#include "common/streams.h"
#include "net/win_socket.h"
#include "news/article_header.h"
#include "news/nntp_connection.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

// Data lines are gathered and written in blocks of about this size: a file stream makes one
// system call per write.
constexpr size_t kWriteBlock = 64 * 1024;

bool IsWellFormedMessageId(const std::string& id) {
    if (id.size() < 3 || id.front() != '<' || id.back() != '>') return false;
    for (const char c : id) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F) return false;
    }
    return true;
}

// Collects written lines and hands them to the stream in blocks.
class TBlockWriter {
  public:
    explicit TBlockWriter(TStream& stream) : stream_(stream) { pending_.reserve(kWriteBlock); }

    // The bytes written so far, those still gathered included.
    uint64_t Written() const { return written_; }

    void WriteLine(const std::string& line) {
        pending_ += line;
        pending_ += "\r\n";
        written_ += line.size() + 2;
        if (pending_.size() >= kWriteBlock) Flush();
    }
    void Flush() {
        if (pending_.empty()) return;
        std::string block;
        block.swap(pending_);
        pending_.reserve(kWriteBlock);
        stream_.WriteText(block);
    }

  private:
    TStream& stream_;
    std::string pending_;
    uint64_t written_ = 0;
};

// The article's lines are read byte for byte while this lives: a NUL or a lone CR stays in its
// line, so what is saved is what the server sent.
class TExactLines {
  public:
    explicit TExactLines(TWinSocket& socket) : socket_(socket) {
        socket_.ReadLineEnds = TLineBuffer::LineEnds::LfOnly;
    }
    ~TExactLines() { socket_.ReadLineEnds = TLineBuffer::LineEnds::Any; }
    TExactLines(const TExactLines&) = delete;
    TExactLines& operator=(const TExactLines&) = delete;

  private:
    TWinSocket& socket_;
};

}  // namespace

TArticleRef ArticleRefOf(const PluginPanelItem& item) {
    TArticleRef article;
    article.Number = static_cast<int32_t>(item.UserData);
    if (item.Description) article.MessageId = item.Description;
    return article;
}

std::string ArticleArgument(const TArticleRef& article) {
    if (article.Number > 0) return std::to_string(article.Number);
    if (article.Number < 0) return {};
    if (!IsWellFormedMessageId(article.MessageId)) {
        throw EInternetError(kItemFailure,
                             "The article has neither a number nor a message identifier",
                             "GetArticle");
    }
    return article.MessageId;
}

bool GetArticle(TNntpConnection& connection, const std::string& command, const TArticleRef& article,
                TStream& stream, std::span<const TArticleRef> following, TArticleHeader* header) {
    const std::string argument = ArticleArgument(article);
    const std::string line = CommandLine(command, argument);
    if (!connection.DropAheadUntil(line)) connection.SendAhead(line, kLogCommand);
    const size_t depth = static_cast<size_t>(Options.Connect.PipelineDepth);
    for (const TArticleRef& next : following) {
        if (connection.CommandsAhead() >= depth) break;
        if (next.Number < 0 || (next.Number == 0 && !IsWellFormedMessageId(next.MessageId))) break;
        const std::string nextLine = CommandLine(command, ArticleArgument(next));
        if (!connection.IsAhead(nextLine)) connection.SendAhead(nextLine, kLogCommand);
    }
    if (!ReplySucceeded(connection.ReadAheadStatus(0).Code)) return false;

    bool inBody = command == "BODY";
    THeaderExtras extras;
    std::optional<THeaderUnfolder> headerLines;
    if (header != nullptr) headerLines.emplace(*header, extras);
    const uint64_t limit = static_cast<uint64_t>(Options.Connect.ArticleSizeLimit) << 20;
    TBlockWriter writer(stream);
    TExactLines exact(connection.Socket());
    try {
        std::string line;
        for (;;) {
            const DataLine kind = connection.ReadDataLine(line);
            if (kind == DataLine::End) break;
            if (kind == DataLine::Lost) connection.RaiseConnectionLost("GetArticle");
            writer.WriteLine(line);
            // The rest of the article is still on its way: only a new connection is clean.
            if (limit != 0 && writer.Written() > limit) {
                connection.Close();
                throw EInternetError(
                    kItemFailure,
                    FormatText(GetMsg(kMsgArticleTooLarge), {Options.Connect.ArticleSizeLimit}),
                    "GetArticle");
            }
            if (!inBody && line.empty()) {
                inBody = true;
                if (headerLines) headerLines->Finish();
            } else if (!inBody && headerLines) {
                headerLines->Add(line);
            }
            if (inBody) connection.Notify(kEventProgress, 0, 1);
        }
    } catch (...) {
        try {
            writer.Flush();  // the lines received so far stay in the stream
        } catch (...) {
            // the failure being passed on is the one to report
        }
        throw;
    }
    writer.Flush();
    if (headerLines) headerLines->Finish();  // a HEAD reply ends without the empty line
    return true;
}

}  // namespace kestrova
