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
    History,
};

QIcon icon(IconKind kind);

// Makes the application style hand out its standard icons unmade, to be made when first drawn:
// start-up then decodes only the icons the first paint shows. Call once the application object
// exists, before any widget is created.
void deferStandardIcons();

// The program icon at one size (also used to make the installed icon file).
QPixmap programPixmap(int size);

} // namespace zr::ui
