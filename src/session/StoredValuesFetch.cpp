#include "session/StoredValuesFetch.h"

#include "device/protocol/MemoryMap.h"

#include <map>

namespace zr::session {

namespace memory = protocol::memory;

bool StoredValuesFetch::begin(int count) {
    first_.reset();
    second_.reset();
    const bool holdsValues = memory::countHoldsValues(count);
    count_ = holdsValues ? count : 0;
    return holdsValues;
}

std::optional<QList<protocol::StoredValueRecord>>
StoredValuesFetch::receive(const protocol::StoredValuesPage& page) {
    if (count_ == 0) {
        return std::nullopt;
    }
    // The page read from the first record starts with a record of the first page.
    const bool first = page.records[0].recordNumber <= memory::kRecordsPerPage;
    (first ? first_ : second_) = page;
    const bool twoPages = count_ > memory::kRecordsPerPage;
    if (!first_ || (twoPages && !second_)) {
        return std::nullopt;
    }
    // By number, as the grid shows them: a later record of the same number replaces an earlier.
    std::map<int, protocol::StoredValueRecord> byNumber;
    const auto take = [&](const protocol::StoredValuesPage& p) {
        const int records = memory::storedRecordsOnPage(count_, p.records[0].recordNumber);
        for (int k = 0; k < records; ++k) {
            const protocol::StoredValueRecord& record = p.records[static_cast<std::size_t>(k)];
            if (record.recordNumber >= 1 && record.recordNumber <= memory::kMaxStoredValues) {
                byNumber[record.recordNumber] = record;
            }
        }
    };
    take(*first_);
    if (twoPages) {
        take(*second_);
    }
    count_ = 0;
    QList<protocol::StoredValueRecord> records;
    for (const auto& [number, record] : byNumber) {
        records << record;
    }
    return records;
}

} // namespace zr::session
