#include "news/thread_order.h"

#include <algorithm>
#include <array>

#include "news/flat_text_map.h"

namespace kestrova {

namespace {

constexpr int32_t kNone = -1;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The length of a "Re:" or "Re[n]:" prefix at the start of text; 0 when there is none.
size_t ReplyPrefixLength(std::string_view text) {
    if (text.size() < 3 || TCaseBlindText::Lower(text[0]) != 'r' ||
        TCaseBlindText::Lower(text[1]) != 'e')
        return 0;
    size_t at = 2;
    if (text[at] == '[') {
        size_t close = at + 1;
        while (close < text.size() && text[close] >= '0' && text[close] <= '9') ++close;
        if (close == at + 1 || close >= text.size() || text[close] != ']') return 0;
        at = close + 1;
    }
    return at < text.size() && text[at] == ':' ? at + 1 : 0;
}

using TReferenceIds = std::array<std::string_view, kMaxReferences>;

// Where an identifier's "<...>" ends: at '>', or at a character an identifier cannot hold.
bool EndsIdentifier(char c) {
    return c == '>' || c == '<' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The identifiers ReferenceIds gives, without allocating: the count of them at the start of ids.
// One pass over the characters (the value is read for every article of a listing).
size_t LastReferenceIds(std::string_view references, TReferenceIds& ids) {
    size_t found = 0;  // all of them; the last kMaxReferences are kept, round the array
    const size_t size = references.size();
    size_t at = references.find('<');
    while (at != std::string_view::npos) {
        size_t end = at + 1;
        while (end < size && !EndsIdentifier(references[end])) ++end;
        if (end == size) break;
        if (references[end] == '>') {
            const std::string_view id = references.substr(at, end - at + 1);
            if (id.size() > 2 && id.size() <= kMaxMessageIdLength) ids[found++ % ids.size()] = id;
        }
        at = references.find('<', end);
    }
    if (found <= ids.size()) return found;
    std::rotate(ids.begin(), ids.begin() + found % ids.size(), ids.end());
    return ids.size();
}

// The articles and the parents they name as one forest: nodes 0 to n - 1 are the articles, the
// nodes after them parents the articles lack. Parent links are cut where they would close a
// cycle.
struct TThreadTree {
    uint32_t Articles = 0;
    std::vector<int32_t> Parent;
    // Node i's children are Children[First[i]] to Children[First[i + 1] - 1]; they and Tops are
    // sorted by Earliest.
    std::vector<uint32_t> First;
    std::vector<int32_t> Children;
    std::vector<int32_t> Tops;
    // The smallest article index below each node (itself included); Articles when none.
    std::vector<uint32_t> Earliest;

    // Every node by Earliest, then by number: a counting sort, as Earliest is an article index
    // or Articles.
    std::vector<int32_t> NodesByEarliest() const {
        std::vector<uint32_t> start(Articles + 2, 0);
        for (const uint32_t earliest : Earliest) ++start[earliest + 1];
        for (size_t at = 1; at < start.size(); ++at) start[at] += start[at - 1];
        std::vector<int32_t> nodes(Earliest.size());
        for (size_t node = 0; node < Earliest.size(); ++node) {
            nodes[start[Earliest[node]]++] = static_cast<int32_t>(node);
        }
        return nodes;
    }

    // The nodes without a parent, in the order of NodesByEarliest.
    void FindTopsIn(const std::vector<int32_t>& byEarliest) {
        Tops.clear();
        for (const int32_t node : byEarliest) {
            if (Parent[node] == kNone) Tops.push_back(node);
        }
    }

    bool IsArticle(int32_t node) const { return static_cast<uint32_t>(node) < Articles; }

    // Cuts every cycle at the first of its nodes a walk from the lowest node meets, which becomes
    // a top; every node is looked at once.
    void CutCycles() {
        enum : uint8_t { kUnseen, kOnPath, kDone };
        std::vector<uint8_t> state(Parent.size(), kUnseen);
        std::vector<int32_t> path;
        for (size_t start = 0; start < Parent.size(); ++start) {
            path.clear();
            int32_t node = static_cast<int32_t>(start);
            while (node != kNone && state[node] == kUnseen) {
                state[node] = kOnPath;
                path.push_back(node);
                node = Parent[node];
            }
            if (node != kNone && state[node] == kOnPath) Parent[node] = kNone;
            for (const int32_t seen : path) state[seen] = kDone;
        }
    }

    // Earliest and the tops in its order, from Parent (which must hold no cycle). Articles are
    // taken by index, each raising its ancestors up to the first one an earlier article
    // reached: every node is set once.
    void FindTops() {
        const size_t nodes = Parent.size();
        Earliest.assign(nodes, Articles);
        for (uint32_t article = 0; article < Articles; ++article) {
            for (int32_t node = static_cast<int32_t>(article);
                 node != kNone && Earliest[node] == Articles; node = Parent[node]) {
                Earliest[node] = article;
            }
        }
        FindTopsIn(NodesByEarliest());
    }

    // Makes child, a top, the last child of parent, another top (whose Earliest it may lower).
    void Join(int32_t child, int32_t parent) {
        Parent[child] = parent;
        Earliest[parent] = std::min(Earliest[parent], Earliest[child]);
    }

    // Children from Parent, and Tops again; taking the nodes by Earliest fills each node's
    // children in that order.
    void Build() {
        const size_t nodes = Parent.size();
        const std::vector<int32_t> byEarliest = NodesByEarliest();
        First.assign(nodes + 1, 0);
        for (size_t node = 0; node < nodes; ++node) {
            if (Parent[node] != kNone) ++First[Parent[node] + 1];
        }
        for (size_t node = 0; node < nodes; ++node) First[node + 1] += First[node];
        Children.assign(First[nodes], kNone);
        std::vector<uint32_t> next(First.begin(), First.end() - 1);
        for (const int32_t node : byEarliest) {
            if (Parent[node] != kNone) Children[next[Parent[node]]++] = node;
        }
        FindTopsIn(byEarliest);
    }

    // Every article in thread order; a missing parent takes no place and no depth.
    std::vector<TThreadPlace> Places() const {
        std::vector<TThreadPlace> places;
        places.reserve(Articles);
        std::vector<std::pair<int32_t, uint32_t>> stack;  // node, depth
        for (uint32_t thread = 0; thread < Tops.size(); ++thread) {
            stack.emplace_back(Tops[thread], 0);
            while (!stack.empty()) {
                const auto [node, depth] = stack.back();
                stack.pop_back();
                uint32_t below = depth;
                if (IsArticle(node)) {
                    places.push_back({static_cast<uint32_t>(node), depth, thread});
                    ++below;
                }
                for (uint32_t child = First[node + 1]; child > First[node]; --child) {
                    stack.emplace_back(Children[child - 1], below);
                }
            }
        }
        return places;
    }
};

}  // namespace

std::string_view BaseSubject(std::string_view subject, bool& reply) {
    reply = false;
    subject = TrimBlanks(subject);
    for (size_t prefix; (prefix = ReplyPrefixLength(subject)) != 0;) {
        subject = TrimBlanks(subject.substr(prefix));
        reply = true;
    }
    return subject;
}

std::vector<std::string_view> ReferenceIds(std::string_view references) {
    TReferenceIds ids;
    const size_t count = LastReferenceIds(references, ids);
    return std::vector<std::string_view>(ids.begin(), ids.begin() + count);
}

std::vector<TThreadPlace> ThreadOrder(std::span<const TThreadArticle> articles,
                                      std::span<const TThreadLink> links) {
    TThreadTree tree;
    tree.Articles = static_cast<uint32_t>(articles.size());
    tree.Parent.reserve(articles.size() + articles.size() / 4);
    tree.Parent.assign(articles.size(), kNone);
    TFlatTextMap<TExactText> nodeOf(articles.size() + articles.size() / 4);
    bool added = false;
    for (uint32_t i = 0; i < tree.Articles; ++i) {
        const std::string_view id = TrimBlanks(articles[i].MessageId);
        if (!id.empty()) nodeOf.Insert(id, static_cast<int32_t>(i), added);
    }
    const auto node = [&](std::string_view id) {
        const int32_t found = nodeOf.Insert(id, static_cast<int32_t>(tree.Parent.size()), added);
        if (added) tree.Parent.push_back(kNone);
        return found;
    };

    std::vector<std::string_view> references(articles.size());
    for (uint32_t i = 0; i < tree.Articles; ++i) references[i] = articles[i].References;
    for (const TThreadLink& link : links) {
        const int32_t* found = nodeOf.Find(TrimBlanks(link.MessageId));
        if (found != nullptr) references[*found] = link.References;
    }

    // References: each identifier is the parent of the next (unless that one has a parent
    // already), the last one the article's parent, whatever it had.
    std::vector<bool> referencing(articles.size(), false);
    for (uint32_t i = 0; i < tree.Articles; ++i) {
        int32_t previous = kNone;
        TReferenceIds ids;
        const size_t count = LastReferenceIds(references[i], ids);
        for (size_t k = 0; k < count; ++k) {
            const std::string_view id = ids[k];
            const int32_t current = node(id);
            if (current == static_cast<int32_t>(i) || current == previous) continue;
            if (previous != kNone && tree.Parent[current] == kNone) tree.Parent[current] = previous;
            previous = current;
        }
        if (previous != kNone) {
            tree.Parent[i] = previous;
            referencing[i] = true;
        }
    }
    tree.CutCycles();
    tree.FindTops();

    // Subjects: the first top of each base subject (one that is not a reply first) takes the
    // replies that have no References.
    TFlatTextMap<TCaseBlindText> firstPlain(tree.Tops.size()), firstAny(tree.Tops.size());
    for (const int32_t top : tree.Tops) {
        bool reply = false;
        const uint32_t shown =
            tree.IsArticle(top) ? static_cast<uint32_t>(top) : tree.Earliest[top];
        if (shown >= tree.Articles) continue;
        const std::string_view base = BaseSubject(articles[shown].Subject, reply);
        if (base.empty()) continue;
        if (!reply) firstPlain.Insert(base, top, added);
        firstAny.Insert(base, top, added);
    }
    for (const int32_t top : tree.Tops) {
        if (!tree.IsArticle(top) || referencing[top]) continue;
        bool reply = false;
        const std::string_view base = BaseSubject(articles[top].Subject, reply);
        if (!reply || base.empty()) continue;
        const int32_t* plain = firstPlain.Find(base);
        const int32_t thread = plain != nullptr ? *plain : *firstAny.Find(base);
        if (thread != top) tree.Join(top, thread);
    }
    tree.Build();
    return tree.Places();
}

}  // namespace kestrova
