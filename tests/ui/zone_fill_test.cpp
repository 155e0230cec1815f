// Filling zones: the copy button of a zone group and the active-zone line of each zone page.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "input/field_catalogue.h"
#include "ui/widgets/window_layout.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

std::string ZoneText(const TForm1& form, int zone, int column) {
  return form.Text(ZoneField(zone, column).entryName);
}

QStringList ActiveZoneLines(const TForm1& form) {
  return {form.ActiveZonesLabel(ZonePage1)->text(), form.ActiveZonesLabel(ZonePage2)->text(),
          form.ActiveZonesLabel(ZonePage3)->text()};
}

}  // namespace

class ZoneFillTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void copyFillsTheChosenZonesOnly() {
    RecordedForm f;
    TForm1& form = *f.form;
    const std::vector<std::string> source{"85.5", "12.5", "0.001", "0.002", "0.03", "0.04"};
    for (int column = 1; column <= ZoneColumns; ++column) {
      form.SetText(ZoneField(3, column).entryName, source[static_cast<std::size_t>(column - 1)]);
    }
    form.SetText(ZoneField(12, 2).entryName, "7");  // after the chosen range: stays
    form.Entry(ZoneField(5, 4).entryName)->setEnabled(false);
    f.dialogs->nextLastZone = 9;
    form.CopyZoneButton(3)->click();
    QCOMPARE(f.dialogs->lastZoneAsked, std::vector<int>{3});
    for (int zone = 4; zone <= MaxZones; ++zone) {
      for (int column = 1; column <= ZoneColumns; ++column) {
        const std::string expected = zone > 9                     ? (zone == 12 && column == 2 ? "7" : "")
                                     : zone == 5 && column == 4 ? ""
                                                                : source[static_cast<std::size_t>(column - 1)];
        QCOMPARE(ZoneText(form, zone, column), expected);
      }
    }
    // Zones 1 and 2 are before the copied zone and keep their defaults.
    QCOMPARE(ZoneText(form, 2, 1), std::string("60.0"));
    QCOMPARE(form.ActiveZonesLabel(ZonePage2)->text(),
             QStringLiteral("Active zones: 9 (zone 10 has no Outer Temperature)"));
  }

  void cancelledCopyChangesNothing() {
    RecordedForm f;
    f.dialogs->nextLastZone.reset();
    f.form->CopyZoneButton(1)->click();
    QCOMPARE(f.dialogs->lastZoneAsked, std::vector<int>{1});
    QCOMPARE(ZoneText(*f.form, 3, 1), std::string());
  }

  // One zone typed and one copy make a 14-zone dryer; zone 14 has nothing to copy into.
  void zoneOneFillsTheWholeDryer() {
    RecordedForm f;
    f.dialogs->nextLastZone = MaxZones;
    f.form->CopyZoneButton(1)->click();
    for (int column = 1; column <= ZoneColumns; ++column) {
      QCOMPARE(ZoneText(*f.form, MaxZones, column), ZoneText(*f.form, 1, column));
    }
    QVERIFY(f.form->CopyZoneButton(MaxZones) == nullptr);
    const QString all = QStringLiteral("Active zones: 14 (all 14 zones)");
    QCOMPARE(ActiveZoneLines(*f.form), QStringList({all, all, all}));
  }

  void activeZoneLineFollowsTheEntries_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    QTest::newRow("fresh window") << "Edit31" << "" << "Active zones: 2 (zone 3 has no Outer Temperature)";
    QTest::newRow("zone 2 at zero") << "Edit21" << "0" << "Active zones: 1 (zone 2 has Outer Temperature 0)";
    QTest::newRow("zone 3 added") << "Edit31" << "70" << "Active zones: 3 (zone 4 has no Outer Temperature)";
    QTest::newRow("zone 2 not a number")
        << "Edit21" << "6O" << "Active zones: 1 (zone 2: Outer Temperature is not a number)";
  }

  void activeZoneLineFollowsTheEntries() {
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QFETCH(QString, line);
    RecordedForm f;
    f.form->Entry(entry.toStdString())->setText(text);
    QCOMPARE(ActiveZoneLines(*f.form), QStringList({line, line, line}));
  }
};

QTEST_MAIN(ZoneFillTest)
#include "zone_fill_test.moc"
