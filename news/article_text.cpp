#include "news/article_text.h"

#include <vector>

#include "common/streams.h"

namespace kestrova {
namespace {

constexpr size_t kPieceSize = 61440;

class TLineEnds {
  public:
    TLineEnds(bool dotStuffing, const TArticleSink& sink) : stuff_(dotStuffing), sink_(sink) {}

    void Add(std::string_view data) {
        for (const char c : data) {
            if (c == '\n' && !afterCr_) out_ += '\r';
            if (c == '.' && lineStart_ && stuff_) out_ += '.';
            out_ += c;
            afterCr_ = c == '\r';
            lineStart_ = c == '\n';
        }
        if (out_.size() >= kPieceSize) Flush();
    }

    // Hands what is pending to the sink: pieces of at least kPieceSize bytes, then the rest.
    void Flush() {
        if (!out_.empty()) sink_(out_);
        out_.clear();
    }

    void Copy(TStream& stream) {
        stream.SetPosition(0);
        std::vector<char> block(kPieceSize);
        for (int64_t got; (got = stream.Read(block.data(), static_cast<int64_t>(kPieceSize))) > 0;)
            Add(std::string_view(block.data(), static_cast<size_t>(got)));
    }

    // Ends a line that is still open.
    void EndLine() {
        if (!lineStart_) Add("\n");
    }

  private:
    bool stuff_;
    const TArticleSink& sink_;
    bool lineStart_ = true;
    bool afterCr_ = false;
    std::string out_;
};

}  // namespace

void WriteArticle(TStream& headers, TStream& body, bool dotStuffing, const TArticleSink& sink) {
    TLineEnds text(dotStuffing, sink);
    if (headers.Size() > 0) {
        text.Copy(headers);
        text.EndLine();
        text.Add("\n");
    }
    text.Copy(body);
    text.EndLine();
    text.Flush();
}

}  // namespace kestrova
