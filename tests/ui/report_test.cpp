// The Drying Profile page's Save Report button: the PDF it writes, read back with poppler's
// pdftotext, and the result file it leaves alone.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

#include "ui/widgets/profile_page.h"
#include "ui/widgets/run_report.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// Answers the save dialog with a fixed path and counts the questions.
class FixedSaveDialogs : public SaveFileDialogs {
 public:
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QStringList& filters,
                         QString*) override {
    ++asked;
    lastFilters = filters;
    return nextPath;
  }
  QString nextPath;
  QStringList lastFilters;
  int asked = 0;
};

struct ReportForm {
  ReportForm() {
    page = ProfilePage::AttachTo(*recorded.form);
    auto dialogs = std::make_unique<FixedSaveDialogs>();
    saves = dialogs.get();
    page->SetSaveFileDialogs(std::move(dialogs));
  }
  RecordedForm recorded;
  ProfilePage* page = nullptr;
  FixedSaveDialogs* saves = nullptr;
};

// The text of a PDF with every run of white space as one space.
QString PdfText(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

}  // namespace

class ReportTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    ConfigureTestApplication();
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
      QSKIP("pdftotext (poppler-utils) is needed");
    }
  }

  void saveReportWritesTheShownRunAndKeepsTheResultFile() {
    TempCurrentDir dir;
    ReportForm f;
    QVERIFY(!f.page->SaveReportButton->isEnabled());
    f.recorded.form->BitBtn1Click();
    QVERIFY(f.page->IsCurrent());
    QVERIFY(f.page->SaveReportButton->isEnabled());
    const QByteArray result = ReadBytes(dir.FilePath(QStringLiteral("result.txt")));
    QVERIFY(!result.isEmpty());

    // A name without a suffix gets ".pdf".
    f.saves->nextPath = dir.FilePath(QStringLiteral("run"));
    QTest::mouseClick(f.page->SaveReportButton, Qt::LeftButton);
    QCOMPARE(f.saves->asked, 1);
    QCOMPARE(f.saves->lastFilters.value(0), QString::fromUtf8(PdfFilter));
    const QString pdf = dir.FilePath(QStringLiteral("run.pdf"));
    QVERIFY(QFile::exists(pdf));
    QVERIFY(f.recorded.dialogs->errors.empty());
    QCOMPARE(ReadBytes(dir.FilePath(QStringLiteral("result.txt"))), result);

    const QString text = PdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Speed 1.0 m/s")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Data file: defaults")));
    // Every row of the page's zone table, as the page shows it.
    QTableWidget* table = f.page->SummaryTable;
    QCOMPARE(table->rowCount(), 3);
    for (int row = 0; row < table->rowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < table->columnCount(); ++column) {
        cells << table->item(row, column)->text();
      }
      QVERIFY2(text.contains(cells.join(QLatin1Char(' '))), qPrintable(cells.join(QLatin1Char(' '))));
    }
  }

  void reportNeedsACompletedRunAndAWritableFile() {
    TempCurrentDir dir;
    ReportForm f;
    QVERIFY(!f.page->SaveReport(dir.FilePath(QStringLiteral("a.pdf"))));
    QCOMPARE(f.recorded.dialogs->errors.size(), std::size_t{1});
    QVERIFY(f.recorded.dialogs->errors.back().contains(QStringLiteral("no completed run")));

    f.recorded.form->BitBtn1Click();
    QVERIFY(!f.page->SaveReport(dir.FilePath(QStringLiteral("missing/a.pdf"))));
    QCOMPARE(f.recorded.dialogs->errors.size(), std::size_t{2});
    QVERIFY(f.recorded.dialogs->errors.back().contains(QStringLiteral("could not be saved")));

    // Entries changed since the run change nothing of the run shown, which the report holds.
    f.recorded.form->Entry("Edit6")->setText(QStringLiteral("abc"));
    QVERIFY(f.page->SaveReport(dir.FilePath(QStringLiteral("b.pdf"))));
    QCOMPARE(f.recorded.dialogs->errors.size(), std::size_t{2});
    QVERIFY(PdfText(dir.FilePath(QStringLiteral("b.pdf"))).contains(QStringLiteral("Speed 1.0 m/s")));

    // A cancelled dialog writes nothing.
    f.recorded.form->Entry("Edit6")->setText(QStringLiteral("1.0"));
    f.saves->nextPath.clear();
    f.page->SaveReportClick();
    QCOMPARE(f.saves->asked, 1);
    QCOMPARE(QDir(dir.Path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 1);
  }
};

QTEST_MAIN(ReportTest)
#include "report_test.moc"
