#include "ui/LineStore.h"

#include <cstring>

namespace zr::ui {

void LineStore::append(std::string_view line) {
    std::size_t target = current_;
    if (line.size() > kBlockSize) {
        // An oversized line gets a block of its own; short lines go on filling the current one.
        blocks_.push_back({std::make_unique<char[]>(line.size()), line.size(), 0});
        target = blocks_.size() - 1;
    } else if (blocks_.empty() ||
               blocks_[current_].capacity - blocks_[current_].used < line.size()) {
        blocks_.push_back({std::make_unique<char[]>(kBlockSize), kBlockSize, 0});
        current_ = target = blocks_.size() - 1;
    }
    Block& block = blocks_[target];
    if (!line.empty()) {
        std::memcpy(block.data.get() + block.used, line.data(), line.size());
    }
    refs_.push_back({static_cast<std::uint32_t>(target), static_cast<std::uint32_t>(block.used),
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
