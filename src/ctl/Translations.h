#pragma once

class QCoreApplication;

namespace zr::ctl {

// Shows zr6040ctl's texts, and Qt's own (the command line's), in the language of the system's
// locale where a translation is built in; English otherwise.
void installTranslations(QCoreApplication& app);

} // namespace zr::ctl
