#pragma once

#include <QFont>

namespace shell {

// The face every text of the window asks for.
inline constexpr const char* kWindowFace = "MS Sans Serif";
// The installed face that stands in for it: its metrics keep every text of the
// window inside its box.
inline constexpr const char* kReplacementFace = "FreeSans";

// Maps the window's face to its replacement; call once before building windows.
void installFontSubstitutes();

// The window's face at a point size, regular or bold.
QFont windowFont(double pointSize, bool bold = false);

} // namespace shell
