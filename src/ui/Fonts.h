#pragma once

#include <QFont>

namespace zr::ui {

// The program's fonts. The layouts were drawn for narrow 8-point fonts ("MS Sans Serif", an
// 11-pixel "Arial" in the measurement table) that Linux lacks; their stand-in is PT Sans Narrow
// (Debian package fonts-paratype, with Cyrillic), measured so that every caption, header and
// panel text fits its designed width with the style's margins. The large displays (designed in
// "Arial Unicode MS") use PT Sans of the same family.
inline constexpr const char* kUiFontFamily = "PT Sans Narrow";
inline constexpr const char* kDisplayFontFamily = "PT Sans";

// The windows' font, with a character height of `pixelSize` pixels.
QFont uiFont(int pixelSize, bool bold = false);
// The font of the large value and method displays.
QFont displayFont(int pixelSize, bool bold = false);

// Makes the designed font names resolve to the fonts above, for any window that asks by those
// names. Asking by the real names is cheaper: a name the system lacks costs a search through
// every installed font. Call once the application object exists.
void installFontSubstitutions();

} // namespace zr::ui
