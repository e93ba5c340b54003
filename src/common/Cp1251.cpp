#include "common/Cp1251.h"

#include <array>

namespace zr::common {

namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF map to U+0410..U+044F. 0x98 is unassigned: it is carried as the
// control character U+0098 and written back as the same byte, so a file's bytes survive a
// load and a save unchanged.
constexpr std::array<char16_t, 64> kHighTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char16_t decodeByte(unsigned char byte) {
    if (byte < 0x80) {
        return byte;
    }
    if (byte >= 0xC0) {
        return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    }
    return kHighTable[byte - 0x80];
}

char encodeChar(char16_t ch) {
    if (ch < 0x80) {
        return static_cast<char>(ch);
    }
    if (ch >= 0x0410 && ch <= 0x044F) {
        return static_cast<char>(0xC0 + (ch - 0x0410));
    }
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == ch) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

QByteArray toCp1251(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        out.append(encodeChar(ch.unicode()));
    }
    return out;
}

bool fitsCp1251(const QString& text) {
    for (QChar ch : text) {
        if (encodeChar(ch.unicode()) == '?' && ch != QLatin1Char('?')) {
            return false;
        }
    }
    return true;
}

std::string toCp1251String(const QString& text) {
    const QByteArray bytes = toCp1251(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString fromCp1251(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char byte : bytes) {
        out.append(QChar(decodeByte(static_cast<unsigned char>(byte))));
    }
    return out;
}

QString fromCp1251(const std::string& bytes) {
    return fromCp1251(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace zr::common
