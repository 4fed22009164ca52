// The order of a group's articles by thread: References give the tree, the subject joins an
// article that has none to the thread of its base subject, and a parent the group lacks still
// holds its children together. Pure: no cache, no panel.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kestrova {

// One article as the order sees it; the views must outlive the call.
struct TThreadArticle {
    std::string_view MessageId;
    std::string_view Subject;
    // The References header's value ("<a> <b> ...", nearest ancestor last); empty when none.
    std::string_view References;
};

// The References of an article named by its Message-ID, as a cache keeps them.
struct TThreadLink {
    std::string_view MessageId;
    std::string_view References;
};

// Where an article goes: its index in the input, its depth in its thread (0: the top) and its
// thread (0 for the first thread, counting up).
struct TThreadPlace {
    uint32_t Index;
    uint32_t Depth;
    uint32_t Thread;
};

// The most identifiers of one References value the order looks at: the nearest ancestors, the
// last ones of the value.
inline constexpr size_t kMaxReferences = 8;
// The longest identifier taken from References; a longer one is damage and skipped.
inline constexpr size_t kMaxMessageIdLength = 250;

// The subject without its leading "Re:" prefixes (any case, also "Re[2]:", blanks around them)
// and without blanks at either end; reply tells whether a prefix was there.
std::string_view BaseSubject(std::string_view subject, bool& reply);

// The identifiers of a References value, each "<...>" without blanks inside and at most
// kMaxMessageIdLength long, at most the last kMaxReferences of them, in their order. Anything
// else in the value is skipped.
std::vector<std::string_view> ReferenceIds(std::string_view references);

// Every article once, thread by thread: threads in the order of their earliest article (by
// input index), each thread's top first, then each reply below its parent, siblings in the
// order of their earliest article. A parent that is not among the articles holds its children
// together at its own depth. An article without References whose subject starts with "Re:"
// joins the thread of the first top article of its base subject (one without the prefix
// first). A Message-ID given twice names its first article only; References that close a
// cycle or name the article itself are cut, so any input ends in time linear in its size
// (but for sorting). links give References to the articles of their Message-IDs in place of
// the articles' own (a later link of an identifier wins); links of other identifiers are
// ignored.
std::vector<TThreadPlace> ThreadOrder(std::span<const TThreadArticle> articles,
                                      std::span<const TThreadLink> links = {});

}  // namespace kestrova
