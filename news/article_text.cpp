#include "news/article_text.h"

#include <vector>

#include "common/streams.h"

namespace kestrova {
namespace {

constexpr int64_t kPieceSize = 61440;

class TLineEnds {
  public:
    TLineEnds(bool dotStuffing, const TArticleSink& sink) : stuff_(dotStuffing), sink_(sink) {}

    void Add(std::string_view data) {
        std::string out;
        out.reserve(data.size() + data.size() / 32 + 2);
        for (const char c : data) {
            if (c == '\n' && !afterCr_) out += '\r';
            if (c == '.' && lineStart_ && stuff_) out += '.';
            out += c;
            afterCr_ = c == '\r';
            lineStart_ = c == '\n';
        }
        if (!out.empty()) sink_(out);
    }

    void Copy(TStream& stream) {
        stream.SetPosition(0);
        std::vector<char> block(kPieceSize);
        for (int64_t got; (got = stream.Read(block.data(), kPieceSize)) > 0;)
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
}

}  // namespace kestrova
