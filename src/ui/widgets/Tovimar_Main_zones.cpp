// Filling zones on the zone pages: a copy button in each zone group's caption line, and a
// line per page that counts the zones a run of the current entries takes.
#include <algorithm>
#include <exception>
#include <optional>

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

#include "input/zone_chain.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/look.h"

namespace tovimar::ui {

void TForm1::AddCopyButton(QGroupBox* group, int zone) {
  auto* button = new QToolButton(group);
  button->setObjectName(QStringLiteral("CopyZone%1").arg(zone));
  // The zone's number in the caption, its last digit underlined for Alt: unique on each page.
  const QString number = QString::number(zone);
  button->setText(QStringLiteral("Copy zone %1&%2 to following zones").arg(number.chopped(1), number.right(1)));
  button->setToolTip(QStringLiteral("Copies the six values of zone %1 into every following zone up to "
                                    "one you choose.").arg(zone));
  button->setFont(GothicFont(11));
  button->setFocusPolicy(Qt::TabFocus);
  const int width =
      QFontMetrics(button->font()).horizontalAdvance(button->text().remove(QLatin1Char('&'))) + 12;
  button->setGeometry(group->width() - GroupInset - width, 0, width, CopyButtonHeight);
  connect(button, &QToolButton::clicked, this, [this, zone] { CopyZoneClick(zone); });
  copyButtons_[zone] = button;
  tabChain_.push_back(button);
}

void TForm1::AddActiveZonesLabels() {
  for (const int page : {ZonePage1, ZonePage2, ZonePage3}) {
    const Rect& rect = ActiveZonesRects[static_cast<std::size_t>(page)];
    auto* label = new QLabel(TabbedNotebook1->widget(page));
    label->setObjectName(QStringLiteral("ActiveZones%1").arg(page + 1));
    label->setGeometry(rect.x, rect.y, rect.w, rect.h);
    label->setFont(GothicFont(12));
    label->setToolTip(QStringLiteral("Zone 1 always takes part; each following zone takes part while "
                                     "every zone before it does and its Outer Temperature is a number "
                                     "other than 0."));
    activeZonesLabels_[page] = label;
  }
  for (int zone = 2; zone <= MaxZones; ++zone) {
    connect(Entry(ZoneField(zone, 1).entryName), &QLineEdit::textChanged, this,
            &TForm1::UpdateActiveZones);
  }
  UpdateActiveZones();
}

void TForm1::UpdateActiveZones() {
  const QString text = FromUtf8(ZoneChainText(ActiveZoneChain(*this)));
  for (const auto& [page, label] : activeZonesLabels_) {
    label->setText(text);
  }
}

QAbstractButton* TForm1::CopyZoneButton(int zone) const {
  const auto it = copyButtons_.find(zone);
  return it == copyButtons_.end() ? nullptr : it->second;
}

QLabel* TForm1::ActiveZonesLabel(int page) const {
  const auto it = activeZonesLabels_.find(page);
  return it == activeZonesLabels_.end() ? nullptr : it->second;
}

void TForm1::CopyZone(int zone, int lastZone) {
  for (int target = zone + 1; target <= std::min(lastZone, MaxZones); ++target) {
    for (int column = 1; column <= ZoneColumns; ++column) {
      SetText(ZoneField(target, column).entryName, Text(ZoneField(zone, column).entryName));
    }
  }
}

void TForm1::CopyZoneClick(int zone) {
  try {
    if (const std::optional<int> last = dialogs_->ChooseLastZone(this, zone)) {
      CopyZone(zone, *last);
    }
  } catch (const std::exception& e) {
    ReportFailure(QStringLiteral("Copying the zone stopped on an unexpected error:\n\n") +
                  QString::fromUtf8(e.what()));
  }
}

}  // namespace tovimar::ui
