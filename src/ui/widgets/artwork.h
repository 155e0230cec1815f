#pragma once

#include <QIcon>
#include <QPixmap>

namespace tovimar::ui {

// Size of the dryer picture on the first page.
inline constexpr int DryerPictureWidth = 355;
inline constexpr int DryerPictureHeight = 132;

// The schematic side view of the line: the base film with its coated layer running from
// the left through the open stretch of zone 1 into the dryer box of zone 2, where hot gas
// blows down onto the web above a row of rollers.
QPixmap DrawDryerPicture();

// The stock glyphs of the OK and Close buttons: a green check mark and an open door.
QIcon OkGlyph();
QIcon CloseGlyph();

// The glyph of the session button beside the notebook's tabs: a sheet of paper.
QIcon SessionGlyph();

// The window icon of both windows: a small dryer with hot-gas arrows.
QIcon WindowIcon();

}  // namespace tovimar::ui
