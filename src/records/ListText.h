#pragma once

#include <QByteArray>
#include <QStringList>

namespace zr::records {

// The text of a selection-list file: code page 1251, one item per line.

// Lines end at CR LF, a lone CR or a lone LF; a NUL byte ends the text; the line end after the
// last item does not make an empty item of its own.
QStringList splitListText(const QByteArray& bytes);

// Every item followed by CR LF.
QByteArray joinListText(const QStringList& items);

} // namespace zr::records
