#pragma once

#include <QString>

namespace zr::common {

// One field of a CSV line as RFC 4180 writes it: in quotes, its quotes doubled, when it holds a
// comma, a quote or a line break; as it is otherwise.
inline QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace zr::common
