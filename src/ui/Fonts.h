#pragma once

namespace zr::ui {

// The fonts the windows ask for by name. The layouts were drawn for narrow 8-point fonts
// ("MS Sans Serif", an 11-pixel "Arial" in the measurement table) that Linux lacks; their
// stand-in is PT Sans Narrow (Debian package fonts-paratype, with Cyrillic), measured so that
// every caption, header and panel text fits its designed width with the style's margins.
// The large displays ("Arial Unicode MS") use PT Sans of the same family.
inline constexpr const char* kUiFontFamily = "PT Sans Narrow";
inline constexpr const char* kDisplayFontFamily = "PT Sans";

// Makes the designed font names resolve to the fonts above. Call once the application object
// exists, before any window is created.
void installFontSubstitutions();

} // namespace zr::ui
