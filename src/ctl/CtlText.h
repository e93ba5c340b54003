#pragma once

#include <QCoreApplication>

namespace zr::ctl {

// zr6040ctl's own texts: written in English, shown in the language of the locale's catalogue
// (CtlText::tr). The JSON and CSV field names are never translated.
struct CtlText {
    Q_DECLARE_TR_FUNCTIONS(CtlText)
};

} // namespace zr::ctl
