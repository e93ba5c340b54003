#pragma once

#include "common/FileLimits.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zr::calibration {

// The library file's name in the data directory.
inline constexpr const char* kLibraryFileName = "data.zr";

// One entry of the calibration library exactly as it lies in "data.zr": a packed little-endian
// record of 279 bytes. The bytes are kept as read, so a record nobody edited is written back
// byte for byte, the meaningless bytes after its name and comment included.
class LibraryRecord {
public:
    static constexpr std::size_t kSize = 279;
    static constexpr std::size_t kIndex = 0;
    static constexpr std::size_t kName = 4;
    static constexpr std::size_t kNameCapacity = 10;
    static constexpr std::size_t kMethod = 15;
    static constexpr std::size_t kK1 = 19;
    static constexpr std::size_t kK2 = 21;
    static constexpr std::size_t kComment = 23;
    static constexpr std::size_t kCommentCapacity = 255;

    using Bytes = std::array<std::uint8_t, kSize>;

    LibraryRecord() : bytes_{} {}
    explicit LibraryRecord(const Bytes& bytes) : bytes_(bytes) {}
    // `data` must hold kSize bytes.
    static LibraryRecord fromBytes(const char* data);

    const Bytes& bytes() const { return bytes_; }

    std::int32_t index() const;
    void setIndex(std::int32_t index);
    std::int32_t method() const;
    void setMethod(std::int32_t method);
    std::int16_t k1() const;
    void setK1(std::int16_t k1);
    std::int16_t k2() const;
    void setK2(std::int16_t k2);

    // The text bytes as far as the length byte reaches, never past the field.
    QByteArray nameBytes() const;
    QByteArray commentBytes() const;
    // Sets the length byte and the text; bytes beyond the capacity are cut, the bytes after the
    // new text are left as they were.
    void setNameBytes(const QByteArray& bytes);
    void setCommentBytes(const QByteArray& bytes);

    // The texts decoded from code page 1251.
    QString name() const;
    QString comment() const;

    bool operator==(const LibraryRecord&) const = default;

private:
    QByteArray text(std::size_t offset, std::size_t capacity) const;
    void setText(std::size_t offset, std::size_t capacity, const QByteArray& bytes);

    Bytes bytes_;
};

// The largest library file read: common::kMaxLibraryEntries whole records.
inline constexpr qint64 kMaxLibraryFileBytes =
    common::kMaxLibraryEntries * static_cast<qint64>(LibraryRecord::kSize);

// The records of a library file: one per whole 279 bytes, a trailing partial record ignored.
std::vector<LibraryRecord> parseLibrary(const QByteArray& file);
// The file holding the records in order: no header, nothing after the last record.
QByteArray serializeLibrary(const std::vector<LibraryRecord>& records);
// The bytes of `file` up to the end of its last whole record.
QByteArray wholeRecords(const QByteArray& file);

} // namespace zr::calibration
