#pragma once

#include <string>

#include <QString>

class QWidget;

namespace tovimar {
struct LineSetting;
}

namespace tovimar::ui {

class TForm1;

// What the pages that edit line settings (Line, Model) share: the tooltip of a setting, its
// text in force, and applying a text with the same message for a text refused.

// "<caption> (<unit>): <meaning>; default <value>; <range>", as the condition fields' tooltips.
QString LineSettingTooltip(const LineSetting& setting, const QString& caption);

// The setting `name`'s text in form.Line() (empty for a setting not set or not known).
QString LineSettingShown(TForm1& form, const std::string& name);

// Applies `text` to setting `name` of form.Line(); a text refused is reported in a message
// box over `parent` naming the setting, its unit, the text and the value that stays, and
// leaves the settings unchanged (false).
bool ApplyLineSettingText(TForm1& form, QWidget* parent, const std::string& name, const QString& text);

}  // namespace tovimar::ui
