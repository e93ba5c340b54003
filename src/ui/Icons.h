#pragma once

#include <QIcon>
#include <QPixmap>

namespace zr::ui {

// The program's icon set: the program icon and one icon per kind of command.
enum class IconKind {
    Program,
    Add,
    DeleteAll,
    MoveToTable,
    Fetch,
    ApplySelected,
    Cancel,
    Refresh,
    Save,
    Print,
    Exit,
    Method, // a radio item: shows whether it is checked
    Correction,
    Help,
    About,
    WriteValue,
    DeleteValue,
};

QIcon icon(IconKind kind);

// The program icon at one size (also used to make the installed icon file).
QPixmap programPixmap(int size);

} // namespace zr::ui
