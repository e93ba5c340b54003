#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

namespace zr::ui {

// Append-only storage of text lines, packed into large blocks so that a log of hundreds of
// thousands of lines costs little more than its text: no per-line allocation, and growth never
// copies what is already stored.
class LineStore {
public:
    void append(std::string_view line);
    std::size_t size() const { return refs_.size(); }
    bool empty() const { return refs_.empty(); }
    std::string_view line(std::size_t index) const;

    std::size_t textBytes() const { return textBytes_; }
    // Bytes held for the lines: blocks, their index, and the line references.
    std::size_t memoryBytes() const;

private:
    static constexpr std::size_t kBlockSize = 1 << 20;
    struct Block {
        std::unique_ptr<char[]> data;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    struct Ref {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint32_t length;
    };
    std::vector<Block> blocks_;
    std::deque<Ref> refs_;
    // The block short lines are appended to.
    std::size_t current_ = 0;
    std::size_t textBytes_ = 0;
};

} // namespace zr::ui
