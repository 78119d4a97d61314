#pragma once

#include <QColor>
#include <QRect>

// One palette for every picture, so the window, its buttons, the About picture and the icon
// read as one product: a pink casing, a near-black panel, white work areas, green for hover.
namespace Palette {
inline const QColor PinkLight {0xFF, 0xB6, 0xD8};
inline const QColor Pink {0xF2, 0x7A, 0xB5};
inline const QColor PinkDeep {0xD9, 0x4A, 0x92};
inline const QColor PinkDark {0x9E, 0x2A, 0x66};
inline const QColor PanelTop {0x34, 0x34, 0x3A};
inline const QColor PanelBottom {0x1C, 0x1C, 0x20};
inline const QColor NearBlack {0x16, 0x16, 0x1A};
inline const QColor Ink {0x1E, 0x1E, 0x22};
inline const QColor TextGrey {0x5A, 0x5A, 0x62};
inline const QColor StripTop {0xEE, 0xEE, 0xF1};
inline const QColor StripBottom {0xDE, 0xDE, 0xE3};
inline const QColor StripLine {0xC8, 0xC8, 0xD0};
inline const QColor HoverGreen {0x0B, 0x7A, 0x2E};
inline const QColor MarkGreen {0x2F, 0xB3, 0x4A};
inline const QColor MarkRed {0xE0, 0x3A, 0x3A};
} // namespace Palette

// Where the window puts its controls over the background, in window pixels. The background
// keeps these places free of decoration.
namespace Place {
inline constexpr QSize Window {630, 530};
inline constexpr int BandBottom = 81; // panel top; the tabs stand on it
inline constexpr QRect Panel {7, 81, 616, 424}; // dark panel, y 81..505
inline constexpr QRect WhiteArea {17, 91, 416, 365}; // x 17..433, y 91..456
inline constexpr int StripTop = 412; // grey status strip inside the white area
inline constexpr QRect TabAdd {58, 31, 113, 50};
inline constexpr QRect TabOutput {175, 31, 113, 50};
inline constexpr int TabDownWidth = 112;
inline constexpr QRect BtnAdd {446, 183, 170, 28};
inline constexpr QRect BtnDelete {446, 235, 170, 28};
inline constexpr QRect BtnDelAll {446, 287, 170, 28};
inline constexpr QRect BtnGo {446, 421, 170, 37};
inline constexpr QRect Placeholder {15, 90, 420, 322};
inline constexpr QRect Minimise {585, 6, 10, 11};
inline constexpr QRect Close {603, 6, 10, 11};
inline constexpr QRect ScrollBox {19, 100, 413, 302};
inline constexpr QRect GroupOptions {21, 102, 409, 219};
inline constexpr QRect GroupPath {21, 325, 409, 71};
inline constexpr QPoint Status {82, 430};
inline constexpr QRect Progress {293, 427, 129, 16};
inline constexpr QPoint About {28, 480};
} // namespace Place

// The About dialog's controls over its picture, in dialog pixels.
namespace AboutPlace {
inline constexpr QSize Picture {300, 266};
inline constexpr QRect Version {114, 69, 59, 13};
inline constexpr QRect Mail {32, 153, 116, 13};
inline constexpr QRect Url {32, 177, 116, 13};
inline constexpr QRect Bevel {0, 201, 297, 9};
inline constexpr QRect Continue {208, 225, 73, 25};
} // namespace AboutPlace
