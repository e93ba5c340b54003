#include "ui/LineStore.h"

#include <algorithm>
#include <cstring>

namespace zr::ui {

void LineStore::append(std::string_view line) {
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < line.size()) {
        const std::size_t capacity = std::max(kBlockSize, line.size());
        blocks_.push_back({std::make_unique<char[]>(capacity), capacity, 0});
    }
    Block& block = blocks_.back();
    if (!line.empty()) {
        std::memcpy(block.data.get() + block.used, line.data(), line.size());
    }
    refs_.push_back({static_cast<std::uint32_t>(blocks_.size() - 1),
                     static_cast<std::uint32_t>(block.used),
                     static_cast<std::uint32_t>(line.size())});
    block.used += line.size();
    textBytes_ += line.size();
}

std::string_view LineStore::line(std::size_t index) const {
    if (index >= refs_.size()) {
        return {};
    }
    const Ref& ref = refs_[index];
    return {blocks_[ref.block].data.get() + ref.offset, ref.length};
}

std::size_t LineStore::memoryBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(Block) + refs_.size() * sizeof(Ref);
    for (const Block& block : blocks_) {
        bytes += block.capacity;
    }
    return bytes;
}

} // namespace zr::ui
