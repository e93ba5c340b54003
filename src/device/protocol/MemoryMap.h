#pragma once

#include <cstdint>

// Addresses of the meter's 256-byte memory that the program reads and writes.
namespace zr::protocol::memory {

inline constexpr int kSize = 256;

// Marks "no calibration in force" at addresses 1 to 4, and an erased stored-values area.
inline constexpr std::uint8_t kNone = 255;

// Slot number in force for method m (1 to 4) is kept at address m.
constexpr int calibrationInForceAddress(int method) {
    return method;
}

inline constexpr int kFirstCorrectionAddress = 5;
constexpr int correctionAddress(int method) {
    return kFirstCorrectionAddress + 4 * (method - 1);
}

inline constexpr int kStoredCountAddress = 154;
inline constexpr int kFirstRecordAddress = 155;
inline constexpr int kSecondPageAddress = 205;
inline constexpr int kLastStoredValuesAddress = 255;
inline constexpr int kMaxStoredValues = 10;
inline constexpr int kRecordSize = 10;
inline constexpr int kRecordsPerPage = 5;

// Record k (1 to 10) starts here.
constexpr int recordAddress(int recordNumber) {
    return kFirstRecordAddress + kRecordSize * (recordNumber - 1);
}

// Whether a stored-values count holds values: 0 and the erased kNone hold none.
constexpr bool countHoldsValues(int count) {
    return count >= 1 && count <= kMaxStoredValues;
}

// How many records of a page read from record `firstRecordNumber` on are stored values of a
// memory holding `count` of them: the first page reads records 1 to 5, the second 6 to 10.
constexpr int storedRecordsOnPage(int count, int firstRecordNumber) {
    if (count <= kRecordsPerPage) {
        return count;
    }
    return firstRecordNumber <= kRecordsPerPage ? kRecordsPerPage : count - kRecordsPerPage;
}

} // namespace zr::protocol::memory
