#include "calibration/LibraryFile.h"

#include "common/Cp1251.h"

#include <algorithm>
#include <cstring>

namespace zr::calibration {

namespace {

std::uint32_t readUint32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void writeUint32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint16_t readUint16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void writeUint16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

LibraryRecord LibraryRecord::fromBytes(const char* data) {
    Bytes bytes;
    std::memcpy(bytes.data(), data, kSize);
    return LibraryRecord(bytes);
}

std::int32_t LibraryRecord::index() const {
    return static_cast<std::int32_t>(readUint32(&bytes_[kIndex]));
}
void LibraryRecord::setIndex(std::int32_t index) {
    writeUint32(&bytes_[kIndex], static_cast<std::uint32_t>(index));
}
std::int32_t LibraryRecord::method() const {
    return static_cast<std::int32_t>(readUint32(&bytes_[kMethod]));
}
void LibraryRecord::setMethod(std::int32_t method) {
    writeUint32(&bytes_[kMethod], static_cast<std::uint32_t>(method));
}
std::int16_t LibraryRecord::k1() const {
    return static_cast<std::int16_t>(readUint16(&bytes_[kK1]));
}
void LibraryRecord::setK1(std::int16_t k1) {
    writeUint16(&bytes_[kK1], static_cast<std::uint16_t>(k1));
}
std::int16_t LibraryRecord::k2() const {
    return static_cast<std::int16_t>(readUint16(&bytes_[kK2]));
}
void LibraryRecord::setK2(std::int16_t k2) {
    writeUint16(&bytes_[kK2], static_cast<std::uint16_t>(k2));
}

// A length byte larger than the field is taken as the whole field.
QByteArray LibraryRecord::text(std::size_t offset, std::size_t capacity) const {
    const std::size_t length = std::min<std::size_t>(bytes_[offset], capacity);
    return QByteArray(reinterpret_cast<const char*>(&bytes_[offset + 1]),
                      static_cast<qsizetype>(length));
}

void LibraryRecord::setText(std::size_t offset, std::size_t capacity, const QByteArray& bytes) {
    const std::size_t length =
        std::min<std::size_t>(static_cast<std::size_t>(bytes.size()), capacity);
    bytes_[offset] = static_cast<std::uint8_t>(length);
    std::memcpy(&bytes_[offset + 1], bytes.constData(), length);
}

QByteArray LibraryRecord::nameBytes() const {
    return text(kName, kNameCapacity);
}
QByteArray LibraryRecord::commentBytes() const {
    return text(kComment, kCommentCapacity);
}
void LibraryRecord::setNameBytes(const QByteArray& bytes) {
    setText(kName, kNameCapacity, bytes);
}
void LibraryRecord::setCommentBytes(const QByteArray& bytes) {
    setText(kComment, kCommentCapacity, bytes);
}
QString LibraryRecord::name() const {
    return common::fromCp1251(nameBytes());
}
QString LibraryRecord::comment() const {
    return common::fromCp1251(commentBytes());
}

std::vector<LibraryRecord> parseLibrary(const QByteArray& file) {
    const std::size_t count = static_cast<std::size_t>(file.size()) / LibraryRecord::kSize;
    std::vector<LibraryRecord> records;
    records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        records.push_back(LibraryRecord::fromBytes(file.constData() + i * LibraryRecord::kSize));
    }
    return records;
}

QByteArray serializeLibrary(const std::vector<LibraryRecord>& records) {
    QByteArray file;
    file.reserve(static_cast<qsizetype>(records.size() * LibraryRecord::kSize));
    for (const LibraryRecord& record : records) {
        file.append(reinterpret_cast<const char*>(record.bytes().data()),
                    static_cast<qsizetype>(LibraryRecord::kSize));
    }
    return file;
}

QByteArray wholeRecords(const QByteArray& file) {
    const qsizetype size = static_cast<qsizetype>(LibraryRecord::kSize);
    return file.left(file.size() / size * size);
}

} // namespace zr::calibration
