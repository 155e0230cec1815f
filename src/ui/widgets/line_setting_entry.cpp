#include "ui/widgets/line_setting_entry.h"

#include <exception>

#include "conditionfile/line_file.h"
#include "input/line_catalogue.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/look.h"

namespace tovimar::ui {

QString LineSettingTooltip(const LineSetting& setting, const QString& caption) {
  const std::string defaultText = LineSettingText(setting, LineSettings{});
  std::string tip = setting.unit.empty() ? std::string() : " (" + setting.unit + ")";
  tip += ": " + setting.meaning + "; " + (defaultText.empty() ? "empty by default" : "default " + defaultText);
  if (const std::string range = RangeText(setting); !range.empty()) tip += "; " + range;
  return caption + FromUtf8(tip);
}

QString LineSettingShown(TForm1& form, const std::string& name) {
  const LineSetting* setting = FindLineSetting(name);
  return setting == nullptr ? QString() : FromUtf8(LineSettingText(*setting, form.Line()));
}

bool ApplyLineSettingText(TForm1& form, QWidget* parent, const std::string& name, const QString& text) {
  try {
    ApplyLineSetting(form.Line(), name + "=" + text.trimmed().toStdString());
    return true;
  } catch (const std::exception& e) {
    const LineSetting* setting = FindLineSetting(name);
    const QString shown = LineSettingShown(form, name);
    const std::string unit = setting != nullptr && !setting->unit.empty() ? " (" + setting->unit + ")" : "";
    form.Dialogs().ShowMessage(
        parent, QStringLiteral("%1%2: \"%3\" is not accepted; the setting stays %4.\n%5")
                    .arg(FromUtf8(setting != nullptr ? setting->caption : name), FromUtf8(unit), text,
                         shown.isEmpty() ? QStringLiteral("empty") : shown, FromUtf8(e.what())));
    return false;
  }
}

}  // namespace tovimar::ui
