// Arbitrary cell texts through the journal's typed row, as a journal of the text schema or a
// grid brings them: the first byte picks the locale, the rest is up to seven cells separated by
// 0x1F. Whatever they hold, the typed row shows them again exactly, and a value it types is a
// finite number.

#include "journal/TableRow.h"

#include <cmath>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia),
                                      QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany)};
    const QLocale& locale = locales[data[0] % 4];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data) + 1,
                                           static_cast<qsizetype>(size - 1));
    QStringList cells = text.split(QChar(0x1f)).mid(0, 7);
    while (cells.size() < 7) {
        cells << QString();
    }
    static const QDateTime written(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
    const zr::journal::TableRow row = zr::journal::rowFromTexts(cells, written, locale);
    check(zr::journal::shownTexts(row, locale) == cells);
    check(!row.value || std::isfinite(*row.value));
    check(!row.moment.isValid() || row.moment.timeSpec() == Qt::UTC);
    return 0;
}
