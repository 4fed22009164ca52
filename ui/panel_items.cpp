#include "ui/panel_items.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kestrova {

namespace {

// A block of carved texts; its bytes follow the header, aligned as malloc aligns.
struct alignas(alignof(std::max_align_t)) TextBlock {
    TextBlock* next;  // the block filled before this one
    size_t used;
    size_t size;
};

// What an array keeps in front of its first item; as large as the alignment malloc gives, so
// that the items keep it.
struct alignas(alignof(std::max_align_t)) ArrayHead {
    TextBlock* blocks;  // the newest block first; null when nothing was carved
};

// Blocks grow from the first size to the last, so that a short listing stays small and a long
// one takes few blocks.
constexpr size_t kFirstBlockSize = 4096;
constexpr size_t kLargestBlockSize = 256 * 1024;

ArrayHead* HeadOf(PluginPanelItem* items) {
    return reinterpret_cast<ArrayHead*>(items) - 1;
}

PluginPanelItem* ItemsOf(ArrayHead* head) {
    return reinterpret_cast<PluginPanelItem*>(head + 1);
}

// size bytes at an address aligned to align (a power of two) from the array's newest block, a
// new one when it lacks the room.
char* Carve(PluginPanelItem* items, size_t size, size_t align) {
    ArrayHead* head = HeadOf(items);
    TextBlock* block = head->blocks;
    size_t at = block ? (block->used + align - 1) & ~(align - 1) : 0;
    if (!block || size > block->size - std::min(at, block->size)) {
        const size_t room =
            std::max(size, block ? std::min(2 * block->size, kLargestBlockSize) : kFirstBlockSize);
        auto* fresh = static_cast<TextBlock*>(std::malloc(sizeof(TextBlock) + room));
        if (!fresh) throw std::bad_alloc();
        *fresh = TextBlock{block, 0, room};
        head->blocks = block = fresh;
        at = 0;
    }
    block->used = at + size;
    return reinterpret_cast<char*>(block + 1) + at;
}

// The bytes to hold count column pointers and their texts.
size_t ColumnBytes(const std::string_view* texts, size_t count) {
    size_t bytes = count * sizeof(char*);
    for (size_t i = 0; i < count; ++i) bytes += texts[i].size() + 1;
    return bytes;
}

char** FillColumns(void* block, const std::string_view* texts, size_t count) {
    auto** data = static_cast<char**>(block);
    char* text = reinterpret_cast<char*>(data + count);
    for (size_t i = 0; i < count; ++i) {
        data[i] = text;
        std::memcpy(text, texts[i].data(), texts[i].size());
        text += texts[i].size();
        *text++ = '\0';
    }
    return data;
}

char* FillText(char* copy, std::string_view text) {
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

}  // namespace

PluginPanelItem* AllocPanelItems(int count) {
    if (count <= 0) return nullptr;
    void* block =
        std::calloc(1, sizeof(ArrayHead) + static_cast<size_t>(count) * sizeof(PluginPanelItem));
    if (!block) throw std::bad_alloc();
    return ItemsOf(static_cast<ArrayHead*>(block));
}

PluginPanelItem* ResizePanelItems(PluginPanelItem* items, int count) {
    ArrayHead* head = items ? HeadOf(items) : nullptr;
    void* grown = std::realloc(
        head, sizeof(ArrayHead) + static_cast<size_t>(count) * sizeof(PluginPanelItem));
    if (!grown) throw std::bad_alloc();
    if (!head) static_cast<ArrayHead*>(grown)->blocks = nullptr;
    return ItemsOf(static_cast<ArrayHead*>(grown));
}

char* NewItemText(std::string_view text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) throw std::bad_alloc();
    return FillText(copy, text);
}

char** NewColumnTexts(const std::string_view* texts, size_t count) {
    void* data = std::malloc(ColumnBytes(texts, count));
    if (!data) throw std::bad_alloc();
    return FillColumns(data, texts, count);
}

char* CarveItemText(PluginPanelItem* items, std::string_view text) {
    return FillText(Carve(items, text.size() + 1, 1), text);
}

char** CarveColumnTexts(PluginPanelItem* items, const std::string_view* texts, size_t count) {
    return FillColumns(Carve(items, ColumnBytes(texts, count), alignof(char*)), texts, count);
}

void FreePanelItems(PluginPanelItem* items, int count) {
    if (!items) return;
    ArrayHead* head = HeadOf(items);
    if (head->blocks) {
        for (TextBlock* block = head->blocks; block;) {
            TextBlock* next = block->next;
            std::free(block);
            block = next;
        }
    } else {
        for (int i = 0; i < count; ++i) {
            PluginPanelItem& item = items[i];
            std::free(item.Description);
            std::free(item.Owner);
            std::free(item.CustomColumnData);
        }
    }
    std::free(head);
}

}  // namespace kestrova
