#pragma once

#include <string_view>

#include <QColor>
#include <QFont>
#include <QString>

class QTabBar;
class QWidget;

namespace tovimar::ui {

// Colours of the window's texts.
inline const QColor GroupCaptionColour{0xFF, 0x00, 0x00};     // red
inline const QColor SubGroupCaptionColour{0x80, 0x00, 0x00};  // maroon
inline const QColor RowCaptionColour{0x00, 0x00, 0xFF};       // blue

// The proportional Gothic face of the layout: "ＭＳ Ｐゴシック" where it is installed,
// otherwise an installed Japanese Gothic face; empty when none is (the default face is
// used then).
QString GothicFamily();

// The layout's font at a pixel size: row captions 12, entries 13, dialog texts 15 and 16.
QFont GothicFont(int pixelSize);

// The font of the notebook's tab captions.
QFont TabFont();

// Gives the tabs of `bar` half the style's space beside their captions, so that the nine
// pages' tabs fit the notebook's width without scroll arrows, and a height of `tabHeight`
// pixels whatever the tab font's line height.
void UseCompactTabs(QTabBar* bar, int tabHeight);

// Sets the colour that a widget's own text is drawn in (its children inherit it).
void SetTextColour(QWidget* widget, const QColor& colour);

// The core's texts are UTF-8.
QString FromUtf8(std::string_view text);

// A tooltip of plain UTF-8 text as rich text, so that a long one wraps.
QString ToolTipText(std::string_view text);

}  // namespace tovimar::ui
