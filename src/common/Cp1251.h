#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace zr::common {

// The one codec used wherever bytes meet text: files, report names, the meter's names.
// Characters that code page 1251 cannot hold become '?'.
QByteArray toCp1251(const QString& text);
// False when toCp1251 would change a character of `text` into '?'.
bool fitsCp1251(const QString& text);
QString fromCp1251(const QByteArray& bytes);
QString fromCp1251(const std::string& bytes);
std::string toCp1251String(const QString& text);

} // namespace zr::common
