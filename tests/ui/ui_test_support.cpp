#include "ui_test_support.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QtGlobal>

#include "run/run_sequence.h"
#include "ui/widgets/application_setup.h"
#include "ui/widgets/profile_page.h"

namespace tovimar::ui::test {

void RecordingDialogs::ShowMessage(QWidget* /*parent*/, const QString& text) {
  messages.push_back(text);
}

void RecordingDialogs::ShowError(QWidget* /*parent*/, const QString& text) { errors.push_back(text); }

void RecordingDialogs::ShowFinishForm(TFinishForm* finishForm) {
  finishFormVisibleBefore.push_back(finishForm != nullptr && finishForm->isVisible());
  finishForms.push_back(finishForm);
}

QStringList RecordingDialogs::ChooseDataFiles(QWidget* /*parent*/, const QString& directory) {
  chooseDirectories.push_back(directory);
  return nextChoice;
}

std::optional<int> RecordingDialogs::ChooseLastZone(QWidget* /*parent*/, int fromZone) {
  lastZoneAsked.push_back(fromZone);
  return nextLastZone;
}

SaveChangesAnswer RecordingDialogs::AskSaveChanges(QWidget* /*parent*/, const QString& detail) {
  saveChangesAsked.push_back(detail);
  return nextSaveChanges;
}

RecordedForm::RecordedForm() : form(std::make_unique<TForm1>()) {
  auto recorder = std::make_unique<RecordingDialogs>();
  dialogs = recorder.get();
  form->SetDialogs(std::move(recorder));
}

RecordedWindow::RecordedWindow() : main(BuildMainWindow()) {
  auto recorder = std::make_unique<RecordingDialogs>();
  dialogs = recorder.get();
  main.form->SetDialogs(std::move(recorder));
}

bool RecordedWindow::Run() {
  RunOptions options;
  options.writeResultFile = false;
  options.model = main.form->Line().Model;
  const RunOutcome outcome = RunSimulation(main.form->Sim(), *main.form, options);
  main.profile->RunFinished(outcome);
  return outcome.completed();
}

TempCurrentDir::TempCurrentDir() : previous_(QDir::currentPath()) {
  if (dir_.isValid()) {
    QDir::setCurrent(dir_.path());
  }
}

TempCurrentDir::~TempCurrentDir() { QDir::setCurrent(previous_); }

QByteArray ReadBytes(const QString& path, bool* ok) {
  QFile file(path);
  const bool opened = file.open(QIODevice::ReadOnly);
  if (ok != nullptr) {
    *ok = opened;
  }
  return opened ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
         file.flush();
}

QString FirstDifference(const QByteArray& actual, const QByteArray& expected) {
  const qsizetype common = std::min(actual.size(), expected.size());
  for (qsizetype i = 0; i < common; ++i) {
    if (actual[i] != expected[i]) {
      return QStringLiteral("first difference at byte %1: got \"%2\", expected \"%3\"")
          .arg(i)
          .arg(QString::fromLatin1(actual.mid(std::max<qsizetype>(0, i - 20), 60)))
          .arg(QString::fromLatin1(expected.mid(std::max<qsizetype>(0, i - 20), 60)));
    }
  }
  if (actual.size() != expected.size()) {
    return QStringLiteral("sizes differ: got %1 bytes, expected %2").arg(actual.size()).arg(expected.size());
  }
  return QString();
}

QString GoldenDefaultResultPath() {
  return QDir(QStringLiteral(TOVIMAR_TEST_DATA_DIR)).filePath(QStringLiteral("default_result.txt"));
}

namespace {

// Of `families`, those the font database lacks (wantPresent) or offers (!wantPresent).
QStringList FamiliesNotAsWanted(const QStringList& families, bool wantPresent) {
  // A family offered by several foundries is listed once per foundry, as "Family [foundry]".
  QStringList installed;
  for (const QString& family : QFontDatabase::families()) {
    const qsizetype bracket = family.indexOf(QStringLiteral(" ["));
    installed.push_back(bracket < 0 ? family : family.left(bracket));
  }
  QStringList wrong;
  for (const QString& family : families) {
    if (installed.contains(family, Qt::CaseInsensitive) != wantPresent) {
      wrong.push_back(family);
    }
  }
  return wrong;
}

QStringList FamiliesFromEnvironment(const char* name) {
  return qEnvironmentVariable(name).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

// The tests' font set-up (see tests/ui/CMakeLists.txt) names the faces it offers and the
// ones it keeps out; a set-up that did not take effect would let the layout checks pass on
// whatever the machine has, so it stops the test.
void CheckFontSetUp() {
  const QStringList missing = FamiliesNotAsWanted(FamiliesFromEnvironment("TOVIMAR_TEST_FONTS_PRESENT"), true);
  const QStringList extra = FamiliesNotAsWanted(FamiliesFromEnvironment("TOVIMAR_TEST_FONTS_ABSENT"), false);
  if (!missing.isEmpty() || !extra.isEmpty()) {
    qFatal("The test's fonts (FONTCONFIG_FILE=%s) are not as set up: missing [%s], unexpected [%s]",
           qPrintable(qEnvironmentVariable("FONTCONFIG_FILE")), qPrintable(missing.join(QStringLiteral(", "))),
           qPrintable(extra.join(QStringLiteral(", "))));
  }
}

}  // namespace

void ConfigureTestApplication() {
  ConfigureApplication();
  CheckFontSetUp();
}

}  // namespace tovimar::ui::test
