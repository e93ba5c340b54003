#include "records/ListText.h"

#include "common/Cp1251.h"

namespace zr::records {

QStringList splitListText(const QByteArray& bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    const QString text = common::fromCp1251(nul < 0 ? bytes : bytes.left(nul));

    QStringList items;
    const QChar* data = text.constData();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = data[i].unicode();
        if (ch != u'\r' && ch != u'\n') {
            continue;
        }
        items.append(QString(data + start, i - start));
        if (ch == u'\r' && i + 1 < size && data[i + 1] == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < size) {
        items.append(QString(data + start, size - start));
    }
    return items;
}

QByteArray joinListText(const QStringList& items) {
    QByteArray bytes;
    qsizetype total = 0;
    for (const QString& item : items) {
        total += item.size() + 2;
    }
    bytes.reserve(total);
    for (const QString& item : items) {
        bytes.append(common::toCp1251(item));
        bytes.append("\r\n", 2);
    }
    return bytes;
}

} // namespace zr::records
