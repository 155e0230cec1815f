// The main window as it opens: pages, groups, rows, defaults, disabled entries, colours,
// fonts, placement, Tab order and the keys Enter and Alt+C.
#include <set>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "support/recorded.h"
#include "input/field_catalogue.h"
#include "input/read_conditions.h"
#include "support/defaults.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/directory_list_box.h"
#include "ui/widgets/drive_combo_box.h"
#include "ui/widgets/file_list_box.h"
#include "ui/widgets/look.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/window_layout.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QStringList Names(std::initializer_list<const char*> names) {
  QStringList list;
  for (const char* name : names) {
    list << QString::fromLatin1(name);
  }
  return list;
}

QStringList ZoneEntries(int firstZone, int lastZone) {
  QStringList list;
  for (int zone = firstZone; zone <= lastZone; ++zone) {
    for (int column = 1; column <= 6; ++column) {
      list << QStringLiteral("Edit%1").arg(10 * zone + column);
    }
  }
  return list;
}

// The zone groups' controls in Tab order: each group's copy button (none in zone 14), then
// its six entries.
QStringList ZoneGroupControls(int firstZone, int lastZone) {
  QStringList list;
  for (int zone = firstZone; zone <= lastZone; ++zone) {
    if (zone < 14) {
      list << QStringLiteral("CopyZone%1").arg(zone);
    }
    list << ZoneEntries(zone, zone);
  }
  return list;
}

// True when no top-level window of the program is on show.
bool NoWindowLeftOpen() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) {
      return false;
    }
  }
  return true;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void windowFrame() {
    TForm1 form;
    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Tovimar"));
    QCOMPARE(form.size(), QSize(727, 545));
    QCOMPARE(form.minimumSize(), QSize(727, 545));
    // The window may grow beyond its layout, by its edges or its maximise button.
    QCOMPARE(form.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(flags & Qt::WindowMaximizeButtonHint);
    QVERIFY(!(flags & Qt::MSWindowsFixedSizeDialogHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.TabbedNotebook1->geometry(), QRect(0, 0, 727, 545));
  }

  void windowIsCentredOnTheScreen() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QPoint screenCentre = form.screen()->availableGeometry().center();
    const QPoint windowCentre = form.frameGeometry().center();
    QVERIFY2((screenCentre - windowCentre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("window centre %1,%2, screen centre %3,%4")
                            .arg(windowCentre.x()).arg(windowCentre.y())
                            .arg(screenCentre.x()).arg(screenCentre.y())));
  }

  void notebookPages() {
    TForm1 form;
    QTabWidget* notebook = form.TabbedNotebook1;
    QCOMPARE(notebook->objectName(), QStringLiteral("TabbedNotebook1"));
    QCOMPARE(notebook->count(), 4);
    QCOMPARE(notebook->tabText(0), QStringLiteral("Zone Cond. (1)"));
    QCOMPARE(notebook->tabText(1), QStringLiteral("Zone Cond. (2)"));
    QCOMPARE(notebook->tabText(2), QStringLiteral("Zone Cond. (3)"));
    QCOMPARE(notebook->tabText(3), QStringLiteral("General Cond."));
    QCOMPARE(notebook->currentIndex(), 0);
    QCOMPARE(notebook->focusPolicy(), Qt::NoFocus);
    QCOMPARE(notebook->tabBar()->focusPolicy(), Qt::NoFocus);
  }

  void addedPageComesAfterTheFourAndLeavesTheirTabOrder() {
    TForm1 form;
    auto* page = new QWidget;
    auto* extra = new QLineEdit(page);
    QCOMPARE(form.AddPage(page, QStringLiteral("Drying Profile")), 4);
    QCOMPARE(form.TabbedNotebook1->tabText(4), QStringLiteral("Drying Profile"));
    QCOMPARE(form.TabbedNotebook1->widget(4), page);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.BitBtn2->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.CopyZoneButton(1));
    QVERIFY(extra != QApplication::focusWidget());
  }

  // Every condition field stands in the window under its entry name with its default text,
  // its caption and its enabled state.
  void entriesFromTheCatalogue() {
    TForm1 form;
    int count = 0;
    for (const ConditionField& field : ConditionFields()) {
      QLineEdit* entry = form.Entry(field.entryName);
      QVERIFY2(entry != nullptr, field.entryName.c_str());
      QCOMPARE(entry->objectName(), Q(field.entryName));
      QCOMPARE(form.findChild<QLineEdit*>(Q(field.entryName)), entry);
      QCOMPARE(entry->text(), Q(field.defaultText));
      QCOMPARE(entry->isEnabled(), field.enabled);
      QCOMPARE(form.Text(field.entryName), field.defaultText);
      QCOMPARE(form.IsEnabled(field.entryName), field.enabled);
      if (const auto* caption = form.findChild<QLabel*>(Q(field.entryName) + QStringLiteral("Caption"))) {
        if (field.entryName != "Edit224" && field.entryName != "Edit234") {
          QCOMPARE(caption->text(), Q(field.caption));
        }
      } else {
        // Only B and C of a vapour-pressure row have no caption strip of their own.
        const std::set<std::string> inRow{"Edit225", "Edit226", "Edit235", "Edit236"};
        QVERIFY2(inRow.count(field.entryName) == 1, field.entryName.c_str());
      }
      ++count;
    }
    QCOMPARE(count, 120);
    QCOMPARE(form.findChildren<QLineEdit*>().size(), 121);
  }

  void defaultTextsSpotCheck_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Edit1") << "Edit1" << "0.0695" << "  Initial Coating Weight (kg/m2)";
    QTest::newRow("Edit4") << "Edit4" << "0.60" << "  Initial Solvent-1 Weight Ratio ";
    QTest::newRow("Edit7") << "Edit7" << "15.0" << QStringLiteral("  Initial Temperature (℃)");
    QTest::newRow("Edit13") << "Edit13" << "0.055" << "  Heat Trans. Coeff. - Lower (kJ/m2.s.K)";
    QTest::newRow("Edit20") << "Edit20" << "0.1" << "  Increment of z (m)";
    QTest::newRow("Edit21") << "Edit21" << "60.0" << QStringLiteral("  Outer Temperature (℃)");
    QTest::newRow("Edit26") << "Edit26" << "0.055" << "  Heat Trans. Coeff. - Lower (kJ/m2.s.K)";
    QTest::newRow("Edit31") << "Edit31" << "" << QStringLiteral("  Outer Temperature (℃)");
    QTest::newRow("Edit146") << "Edit146" << "" << "  Heat Trans. Coeff. - Lower (kJ/m2.s.K)";
    QTest::newRow("Edit206") << "Edit206" << "0.01" << QStringLiteral("  Interaction Parameter χ1p");
    QTest::newRow("Edit213") << "Edit213" << "30000.0" << "  Molecular Weight";
    QTest::newRow("Edit223") << "Edit223" << "0.00000903" << "  Diffusion Coefficient of Solvent-1 in Air (m2/s)";
    QTest::newRow("Edit232") << "Edit232" << "398.0" << "  Heat of Vaporization of Solvent-2 (kJ/kg)";
    QTest::newRow("Edit241") << "Edit241" << "1.26" << "  Specific Heat of Base Film (kJ/kg.K)";
  }
  void defaultTextsSpotCheck() {
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    TForm1 form;
    QLineEdit* edit = form.findChild<QLineEdit*>(entry);
    QVERIFY(edit != nullptr);
    QCOMPARE(edit->text(), text);
    auto* label = form.findChild<QLabel*>(entry + QStringLiteral("Caption"));
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), caption);
  }

  void saveFileNameEntry() {
    TForm1 form;
    QCOMPARE(form.Edit250->objectName(), QStringLiteral("Edit250"));
    QCOMPARE(form.Edit250->text(), QStringLiteral("result.txt"));
    QCOMPARE(form.Text("Edit250"), std::string("result.txt"));
    auto* group = qobject_cast<QGroupBox*>(form.Edit250->parentWidget());
    QVERIFY(group != nullptr);
    QCOMPARE(group->title(), QStringLiteral("  Save File Name  "));
  }

  void unknownEntryNamesAreRefused() {
    TForm1 form;
    QVERIFY(form.Entry("Edit9999") == nullptr);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, (void)form.Text("Edit9999"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, (void)form.IsEnabled("Edit0"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, form.SetText("Edit15", "1"));
  }

  void freshWindowReadsAsTwoZonesOf300Steps() {
    TForm1 form;
    DryingConditions conditions;
    RecordedMessages messages;
    const auto stop = ReadConditions(conditions, form, messages);
    QVERIFY2(!stop.has_value(), stop ? stop->message.c_str() : "");
    QVERIFY(messages.messages.empty());
    QCOMPARE(conditions.ZoneCount, 2);
    QCOMPARE(conditions.ZoneStepCount[1], 300);
    QCOMPARE(conditions.ZoneStepCount[2], 300);
    QCOMPARE(conditions.ResultFileName, std::string("result.txt"));
    // Every value read from the window equals the catalogue's defaults.
    const DryingConditions expected = test_support::DefaultConditions();
    for (const ConditionField& field : ConditionFields()) {
      if (field.zone <= 2) {
        QVERIFY2(field.Value(conditions) == field.Value(expected), field.entryName.c_str());
      }
    }
  }

  void disabledEntries() {
    TForm1 form;
    QStringList disabled;
    for (QLineEdit* entry : form.findChildren<QLineEdit*>()) {
      if (!entry->isEnabled()) {
        disabled << entry->objectName();
      }
    }
    disabled.sort();
    QCOMPARE(disabled, Names({"Edit222", "Edit224", "Edit225", "Edit226", "Edit232", "Edit234",
                              "Edit235", "Edit236"}));
  }

  void disabledEntriesRefuseTyping() {
    TForm1 form;
    form.TabbedNotebook1->setCurrentIndex(GeneralPage);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (const char* name : {"Edit222", "Edit224", "Edit225", "Edit226", "Edit232", "Edit234",
                             "Edit235", "Edit236"}) {
      QLineEdit* entry = form.Entry(name);
      const QString before = entry->text();
      QTest::keyClicks(entry, QStringLiteral("9"));
      QTest::keyClick(entry, Qt::Key_Backspace);
      QCOMPARE(entry->text(), before);
      form.SetText(name, "1.0");
      QCOMPARE(entry->text(), before);
    }
    // An enabled entry takes both.
    QLineEdit* cp = form.Entry("Edit221");
    QTest::keyClick(cp, Qt::Key_End);
    QTest::keyClicks(cp, QStringLiteral("5"));
    QCOMPARE(cp->text(), QStringLiteral("2.305"));
    form.SetText("Edit221", "2.1");
    QCOMPARE(cp->text(), QStringLiteral("2.1"));
  }

  void zoneGroups_data() {
    QTest::addColumn<int>("zone");
    QTest::addColumn<int>("page");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("zone 1") << 1 << 0 << QRect(8, 8, 340, 322);
    QTest::newRow("zone 2") << 2 << 0 << QRect(9, 343, 340, 163);
    QTest::newRow("zone 3") << 3 << 1 << QRect(15, 13, 336, 160);
    QTest::newRow("zone 4") << 4 << 1 << QRect(15, 177, 336, 160);
    QTest::newRow("zone 5") << 5 << 1 << QRect(14, 340, 336, 160);
    QTest::newRow("zone 6") << 6 << 1 << QRect(364, 12, 336, 160);
    QTest::newRow("zone 7") << 7 << 1 << QRect(364, 174, 336, 160);
    QTest::newRow("zone 8") << 8 << 1 << QRect(365, 340, 336, 160);
    QTest::newRow("zone 9") << 9 << 2 << QRect(15, 11, 336, 160);
    QTest::newRow("zone 10") << 10 << 2 << QRect(15, 176, 336, 160);
    QTest::newRow("zone 11") << 11 << 2 << QRect(14, 339, 336, 160);
    QTest::newRow("zone 12") << 12 << 2 << QRect(364, 11, 336, 160);
    QTest::newRow("zone 13") << 13 << 2 << QRect(364, 174, 336, 160);
    QTest::newRow("zone 14") << 14 << 2 << QRect(365, 339, 336, 160);
  }
  void zoneGroups() {
    QFETCH(int, zone);
    QFETCH(int, page);
    QFETCH(QRect, rect);
    TForm1 form;
    // The group holding the zone's Outer Temperature: its page, place, caption and rows.
    const QString first = zone == 1 ? QStringLiteral("Edit1") : QStringLiteral("Edit%1").arg(10 * zone + 1);
    auto* group = qobject_cast<QGroupBox*>(form.findChild<QLineEdit*>(first)->parentWidget());
    QVERIFY(group != nullptr);
    QCOMPARE(group->title(), QStringLiteral("Zone %1").arg(zone));
    QCOMPARE(group->parentWidget(), form.TabbedNotebook1->widget(page));
    QCOMPARE(group->geometry(), rect);
    const QList<QLineEdit*> entries = group->findChildren<QLineEdit*>();
    QCOMPARE(entries.size(), zone == 1 ? 13 : 6);
    // Rows top to bottom, 23 pixels apart, 22-pixel strips and 21-pixel entries.
    QStringList expected = zone == 1 ? Names({"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6",
                                              "Edit7", "Edit8", "Edit9", "Edit10", "Edit11",
                                              "Edit12", "Edit13"})
                                     : ZoneEntries(zone, zone);
    int previousTop = -1;
    for (const QString& name : expected) {
      QLineEdit* entry = group->findChild<QLineEdit*>(name);
      QVERIFY2(entry != nullptr, qPrintable(name));
      auto* caption = group->findChild<QLabel*>(name + QStringLiteral("Caption"));
      QVERIFY(caption != nullptr);
      QCOMPARE(caption->height(), 22);
      QCOMPARE(entry->height(), 21);
      QCOMPARE(entry->geometry().right(), caption->geometry().right());
      if (previousTop >= 0) {
        QCOMPARE(caption->y() - previousTop, 23);
      }
      previousTop = caption->y();
    }
  }

  void firstPageControls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("InputData") << "InputData" << QRect(372, 227, 137, 31);
    QTest::newRow("DriveComboBox1") << "DriveComboBox1" << QRect(371, 273, 159, 19);
    QTest::newRow("DirectoryListBox1") << "DirectoryListBox1" << QRect(371, 298, 158, 153);
    QTest::newRow("FileListBox1") << "FileListBox1" << QRect(546, 273, 154, 175);
    QTest::newRow("BitBtn1") << "BitBtn1" << QRect(409, 461, 110, 41);
    QTest::newRow("BitBtn2") << "BitBtn2" << QRect(556, 460, 110, 41);
    QTest::newRow("picture panel") << "Panel1" << QRect(353, 12, 361, 139);
    QTest::newRow("accuracy group") << "GroupBox10" << QRect(357, 161, 347, 53);
    QTest::newRow("save file group") << "GroupBox21" << QRect(540, 221, 142, 44);
  }
  void firstPageControls() {
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    TForm1 form;
    QWidget* page = form.TabbedNotebook1->widget(0);
    QWidget* control = page->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), page);
    QCOMPARE(control->geometry(), rect);
  }

  void buttons() {
    TForm1 form;
    // The stock captions, each with the letter of its Alt shortcut marked.
    QCOMPARE(form.InputData->text(), QStringLiteral("&Input Data File"));
    QCOMPARE(form.InputData->palette().color(QPalette::ButtonText), QColor(0x80, 0x00, 0x00));
    QCOMPARE(form.BitBtn1->text(), QStringLiteral("&OK"));
    QVERIFY(form.BitBtn1->isDefault());
    QVERIFY(!form.BitBtn1->icon().isNull());
    QCOMPARE(form.BitBtn2->text(), QStringLiteral("&Close"));
    QVERIFY(!form.BitBtn2->icon().isNull());
    for (QWidget* control : std::initializer_list<QWidget*>{form.InputData, form.BitBtn1, form.BitBtn2,
                                                            form.DriveComboBox1, form.DirectoryListBox1,
                                                            form.FileListBox1, form.Edit250}) {
      QVERIFY(control->focusPolicy() & Qt::TabFocus);
    }
  }

  void generalPageGroups() {
    TForm1 form;
    QWidget* page = form.TabbedNotebook1->widget(GeneralPage);
    auto* general = qobject_cast<QGroupBox*>(form.Entry("Edit201")->parentWidget()->parentWidget());
    QVERIFY(general != nullptr);
    QCOMPARE(general->parentWidget(), page);
    QCOMPARE(general->title(), QStringLiteral("  General  "));
    QCOMPARE(general->geometry(), QRect(10, 4, 700, 505));
    struct Expected {
      const char* entry;
      const char* title;
      QRect rect;
    };
    const Expected subGroups[] = {
        {"Edit201", "Fitting Parameter", QRect(9, 18, 654, 126)},
        {"Edit211", "  Solid (Polymer)", QRect(9, 153, 678, 51)},
        {"Edit221", "  Solvent-1 ", QRect(9, 206, 677, 109)},
        {"Edit231", "  Solvent-2  ", QRect(8, 324, 678, 113)},
        {"Edit241", "  Base Film  ", QRect(7, 442, 678, 52)},
    };
    for (const Expected& e : subGroups) {
      auto* group = qobject_cast<QGroupBox*>(form.Entry(e.entry)->parentWidget());
      QVERIFY2(group != nullptr, e.entry);
      QCOMPARE(group->parentWidget(), general);
      QCOMPARE(group->title(), QString::fromUtf8(e.title));
      QCOMPARE(group->geometry(), e.rect);
      QCOMPARE(group->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x00));
    }
    // Left and right columns of the fitting parameters, four rows each.
    for (int row = 0; row < 4; ++row) {
      QLineEdit* left = form.Entry("Edit20" + std::to_string(1 + row));
      QLineEdit* right = form.Entry("Edit20" + std::to_string(5 + row));
      QCOMPARE(left->y(), right->y());
      QVERIFY(left->x() < right->x());
      if (row > 0) {
        QCOMPARE(left->y() - form.Entry("Edit20" + std::to_string(row))->y(), 23);
      }
    }
    // Solid: three fields on one row.
    QCOMPARE(form.Entry("Edit211")->y(), form.Entry("Edit212")->y());
    QCOMPARE(form.Entry("Edit212")->y(), form.Entry("Edit213")->y());
    QVERIFY(form.Entry("Edit211")->x() < form.Entry("Edit212")->x());
    QVERIFY(form.Entry("Edit212")->x() < form.Entry("Edit213")->x());
  }

  // The vapour-pressure rows spell the equation out with the three constants in place.
  void antoineRows_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("solvent-1") << Names({"Edit224", "Edit225", "Edit226"});
    QTest::newRow("solvent-2") << Names({"Edit234", "Edit235", "Edit236"});
  }
  void antoineRows() {
    QFETCH(QStringList, entries);
    TForm1 form;
    QWidget* strip = form.findChild<QLineEdit*>(entries[0])->parentWidget();
    QCOMPARE(strip->height(), 28);
    QCOMPARE(form.findChild<QLineEdit*>(entries[1])->parentWidget(), strip);
    QCOMPARE(form.findChild<QLineEdit*>(entries[2])->parentWidget(), strip);
    // Read the strip from left to right: texts as they are, entries as [name].
    QList<QWidget*> parts = strip->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::sort(parts.begin(), parts.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    QStringList reading;
    int previousRight = -1;
    for (QWidget* part : parts) {
      if (auto* label = qobject_cast<QLabel*>(part)) {
        reading << label->text();
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0x00, 0x00, 0xFF));
      } else if (auto* entry = qobject_cast<QLineEdit*>(part)) {
        reading << QLatin1Char('[') + entry->objectName() + QLatin1Char(']');
        QVERIFY(!entry->isEnabled());
      }
      QVERIFY2(part->x() > previousRight, "parts of the row overlap");
      previousRight = part->geometry().right();
    }
    QCOMPARE(reading, QStringList({QStringLiteral("  Vapor Pressure (mmHg)  log10 Ps = "),
                                   QLatin1Char('[') + entries[0] + QLatin1Char(']'), QStringLiteral("- ("),
                                   QLatin1Char('[') + entries[1] + QLatin1Char(']'), QStringLiteral("/( T + "),
                                   QLatin1Char('[') + entries[2] + QLatin1Char(']'), QStringLiteral(" )) ")}));
    QVERIFY(previousRight < strip->width());
  }

  void colours() {
    TForm1 form;
    const QColor red(0xFF, 0x00, 0x00);
    const QColor blue(0x00, 0x00, 0xFF);
    for (const char* name : {"GroupBox1", "GroupBox2", "GroupBox7", "GroupBox20", "GroupBox10",
                             "GroupBox21", "GroupBox22"}) {
      auto* group = form.findChild<QGroupBox*>(QString::fromLatin1(name));
      QVERIFY2(group != nullptr, name);
      QCOMPARE(group->palette().color(QPalette::WindowText), red);
    }
    int captions = 0;
    for (QLabel* label : form.findChildren<QLabel*>()) {
      if (label->objectName().endsWith(QStringLiteral("Caption"))) {
        QCOMPARE(label->palette().color(QPalette::WindowText), blue);
        ++captions;
      }
    }
    QCOMPARE(captions, 120 - 4);  // every field but B and C of the two vapour-pressure rows
    for (QLineEdit* entry : form.findChildren<QLineEdit*>()) {
      QCOMPARE(entry->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    }
  }

  void fonts() {
    TForm1 form;
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(QStringLiteral("IPAPGothic")) &&
        !installed.contains(QStringLiteral("MS PGothic")) &&
        !installed.contains(QStringLiteral("ＭＳ Ｐゴシック"))) {
      QCOMPARE(GothicFamily(), QStringLiteral("IPAPGothic"));
    }
    auto* caption = form.findChild<QLabel*>(QStringLiteral("Edit1Caption"));
    QCOMPARE(caption->font().pixelSize(), 12);
    QCOMPARE(form.Entry("Edit1")->font().pixelSize(), 13);
    if (!GothicFamily().isEmpty()) {
      QCOMPARE(QFontInfo(caption->font()).family(), GothicFamily());
      QCOMPARE(QFontInfo(form.Entry("Edit1")->font()).family(), GothicFamily());
    }
    QCOMPARE(form.TabbedNotebook1->tabBar()->font().families().value(0), QStringLiteral("Arial"));
  }

  // No caption runs under its entry and no control reaches past its parent, on any of the
  // window's pages: nothing is clipped with the fonts the test runs with.
  void nothingIsClipped() {
    const MainWindow window = BuildMainWindow();
    TForm1& form = *window.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (int page = 0; page < form.TabbedNotebook1->count(); ++page) {
      form.TabbedNotebook1->setCurrentIndex(page);
      QWidget* pageWidget = form.TabbedNotebook1->widget(page);
      QVERIFY(pageWidget->isVisible());
      for (QWidget* child : pageWidget->findChildren<QWidget*>()) {
        if (child->isWindow() || !child->isVisibleTo(pageWidget) ||
            qobject_cast<QAbstractScrollArea*>(child->parentWidget()) != nullptr ||
            child->parentWidget()->inherits("QAbstractScrollArea") ||
            child->objectName().startsWith(QLatin1String("qt_"))) {
          continue;
        }
        const QRect parentRect = child->parentWidget()->rect();
        QVERIFY2(parentRect.contains(child->geometry()),
                 qPrintable(QStringLiteral("%1 (%2) outside its parent")
                                .arg(child->objectName(), QString::fromLatin1(child->metaObject()->className()))));
      }
    }
    for (const ConditionField& field : ConditionFields()) {
      auto* caption = form.findChild<QLabel*>(Q(field.entryName) + QStringLiteral("Caption"));
      QLineEdit* entry = form.Entry(field.entryName);
      if (caption == nullptr || caption->parentWidget() != entry->parentWidget()) {
        continue;  // the vapour-pressure rows are laid out by their texts
      }
      const int textRight = caption->contentsRect().left() +
                            caption->fontMetrics().horizontalAdvance(caption->text());
      QVERIFY2(textRight <= entry->x() - caption->x(), field.entryName.c_str());
    }
    const QSize tabs = form.TabbedNotebook1->tabBar()->sizeHint();
    QVERIFY(tabs.width() <= 727);
  }

  // The tabs keep one height whichever face the tab font resolves to, so every page keeps
  // the window's 727 x 545 less the tab row and the notebook's frame, and the captions still
  // fit their tabs.
  void pagesKeepTheirSizeWhateverTheTabFont() {
    const MainWindow window = BuildMainWindow();
    TForm1& form = *window.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTabBar* bar = form.TabbedNotebook1->tabBar();
    QCOMPARE(bar->height(), TabHeight);
    QVERIFY2(bar->fontMetrics().height() <= TabHeight - 6,
             qPrintable(QFontInfo(bar->font()).family()));
    for (int page = 0; page < form.TabbedNotebook1->count(); ++page) {
      QCOMPARE(bar->tabRect(page).height(), TabHeight);
      form.TabbedNotebook1->setCurrentIndex(page);
      QCOMPARE(form.TabbedNotebook1->widget(page)->size(), QSize(723, 517));
    }
  }

  void dryerPicture() {
    TForm1 form;
    QCOMPARE(form.Image1->objectName(), QStringLiteral("Image1"));
    const QPixmap pixmap = form.Image1->pixmap();
    QCOMPARE(pixmap.size(), QSize(DryerPictureWidth, DryerPictureHeight));
    QCOMPARE(pixmap.size(), QSize(355, 132));
    // A drawing, not an empty bitmap: the web, the dryer and the red hot-gas arrows.
    const QImage image = pixmap.toImage();
    std::set<QRgb> colours;
    int reddish = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        colours.insert(c.rgb());
        reddish += c.red() > 180 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
      }
    }
    QVERIFY(colours.size() > 10);
    QVERIFY(reddish > 50);
    QVERIFY(form.Image1->parentWidget()->rect().contains(form.Image1->geometry()));
  }

  // Tab visits every entry and button of a page in reading order: on the first page the left
  // column (zone 1, zone 2), then the right one from the top.
  void tabOrder_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("order");
    QStringList page1 = Names({"CopyZone1", "Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8",
                   "Edit9", "Edit10", "Edit11", "Edit12", "Edit13"});
    page1 << ZoneGroupControls(2, 2)
          << Names({"Edit20", "InputData", "Edit250", "DriveComboBox1", "DirectoryListBox1", "FileListBox1",
                    "BitBtn1", "BitBtn2"});
    QTest::newRow("Zone Cond. (1)") << 0 << page1;
    QTest::newRow("Zone Cond. (2)") << 1 << ZoneGroupControls(3, 8);
    QTest::newRow("Zone Cond. (3)") << 2 << ZoneGroupControls(9, 14);
    QTest::newRow("General Cond.")
        << 3
        << Names({"Edit201", "Edit202", "Edit203", "Edit204", "Edit205", "Edit206", "Edit207",
                  "Edit208", "Edit211", "Edit212", "Edit213", "MaterialPicker_Polymer", "Edit221",
                  "Edit223", "Edit227", "Edit228", "MaterialPicker_Solvent1", "Edit231", "Edit233",
                  "Edit237", "Edit238", "MaterialPicker_Solvent2", "Edit241"});
  }
  void tabOrder() {
    QFETCH(int, page);
    QFETCH(QStringList, order);
    TForm1 form;
    form.TabbedNotebook1->setCurrentIndex(page);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.findChild<QWidget*>(order.front())->setFocus();
    QCOMPARE(QApplication::focusWidget()->objectName(), order.front());
    QStringList visited{order.front()};
    for (qsizetype i = 0; i < order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->objectName();
    }
    // Every control once, in order, then round to the first again.
    QStringList expected = order;
    expected << order.front();
    QCOMPARE(visited, expected);
    // Shift+Tab goes back.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), order.back());
  }

  void enterOnFirstPageRuns_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("Edit1") << "Edit1";
    QTest::newRow("Edit20") << "Edit20";
    QTest::newRow("Edit26") << "Edit26";
    QTest::newRow("Edit250") << "Edit250";
    QTest::newRow("keypad Enter") << "Edit13";
  }
  void enterOnFirstPageRuns() {
    QFETCH(QString, entry);
    TempCurrentDir dir;
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QLineEdit* edit = form.findChild<QLineEdit*>(entry);
    edit->setFocus();
    const bool keypad = QString::fromLatin1(QTest::currentDataTag()) == QLatin1String("keypad Enter");
    QTest::keyClick(edit, keypad ? Qt::Key_Enter : Qt::Key_Return, keypad ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(recorded.dialogs->finishForms.size(), std::size_t{1});
    QCOMPARE(recorded.dialogs->finishForms.front(), form.FinishForm);
    QVERIFY(recorded.dialogs->messages.empty());
    QVERIFY(recorded.dialogs->errors.empty());
    QVERIFY(QFile::exists(dir.FilePath(QStringLiteral("result.txt"))));
  }

  void enterOnOtherPagesDoesNothing_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("entry");
    QTest::newRow("Zone Cond. (2)") << 1 << "Edit31";
    QTest::newRow("Zone Cond. (3)") << 2 << "Edit146";
    QTest::newRow("General Cond.") << 3 << "Edit201";
  }
  void enterOnOtherPagesDoesNothing() {
    QFETCH(int, page);
    QFETCH(QString, entry);
    TempCurrentDir dir;
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.TabbedNotebook1->setCurrentIndex(page);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QLineEdit* edit = form.findChild<QLineEdit*>(entry);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(recorded.dialogs->finishForms.empty());
    QVERIFY(recorded.dialogs->messages.empty());
    QVERIFY(recorded.dialogs->errors.empty());
    QVERIFY(!QFile::exists(dir.FilePath(QStringLiteral("result.txt"))));
    QVERIFY(form.isVisible());
  }

  void altCClosesOnFirstPage() {
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Entry("Edit5")->setFocus();
    QTest::keyClick(form.Entry("Edit5"), Qt::Key_C, Qt::AltModifier);
    // The mnemonic presses the button visibly, then it closes the window.
    QTRY_VERIFY(!form.isVisible());
    QVERIFY(NoWindowLeftOpen());
    QVERIFY(recorded.dialogs->finishForms.empty());
  }

  void altCDoesNotCloseOnOtherPages() {
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.TabbedNotebook1->setCurrentIndex(1);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Entry("Edit31")->setFocus();
    form.Entry("Edit31")->setText(QStringLiteral("60.0"));
    QTest::keyClick(form.Entry("Edit31"), Qt::Key_C, Qt::AltModifier);
    QTest::qWait(300);
    QVERIFY(form.isVisible());
    // Nor does it type its letter into the entry.
    QCOMPARE(form.Entry("Edit31")->text(), QStringLiteral("60.0"));
  }

  void closeButtonAndCloseBoxEndTheProgram_data() {
    QTest::addColumn<bool>("byButton");
    QTest::newRow("Close button") << true;
    QTest::newRow("close box") << false;
  }
  void closeButtonAndCloseBoxEndTheProgram() {
    QFETCH(bool, byButton);
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (byButton) {
      QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    } else {
      QVERIFY(form.close());
    }
    QVERIFY(!form.isVisible());
    // Nothing else keeps the program alive once the main window is closed.
    QVERIFY(NoWindowLeftOpen());
    QVERIFY(form.testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(QApplication::quitOnLastWindowClosed());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
