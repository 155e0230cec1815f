// Renders every page of the main window, the Drying Profile page after a completed and after
// a failed run, the window grown beyond its layout, the Line page and the profile judged
// against it with the judging curves on, the help window, the completion dialog and the
// Optimise page after a search to PNG files:
//   tovimar_screenshots <directory>
// Run it under the offscreen platform (QT_QPA_PLATFORM=offscreen) on a machine without a
// display.
#include <cstdio>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QTabWidget>

#include "run/run_sequence.h"
#include "ui/F_Form.h"
#include "ui/LinePage.h"
#include "ui/OptimisePage.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/startup.h"

namespace {

// The size of the grown window's picture.
constexpr int GrownWidth = 1100;
constexpr int GrownHeight = 800;

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tovimar::ui::ConfigureApplication();
  const QStringList arguments = QApplication::arguments();
  const QString directory = arguments.size() > 1 ? arguments.at(1) : QStringLiteral("screenshots");
  if (!QDir().mkpath(directory)) {
    std::fprintf(stderr, "tovimar_screenshots: cannot create %s\n", qPrintable(directory));
    return 1;
  }
  const QDir out(directory);

  const tovimar::ui::MainWindow window = tovimar::ui::BuildMainWindow();
  tovimar::ui::TForm1& form = *window.form;
  tovimar::ui::ProfilePage* profile = window.profile;
  form.show();
  QApplication::processEvents();
  bool ok = true;
  const auto save = [&](QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = out.filePath(name);
    if (!widget->grab().save(path, "PNG")) {
      std::fprintf(stderr, "tovimar_screenshots: cannot write %s\n", qPrintable(path));
      ok = false;
      return;
    }
    std::printf("%s\n", qPrintable(path));
  };
  // The Optimise page is taken last, after a search (below).
  auto* optimisePage = form.findChild<tovimar::ui::OptimisePage*>();
  const int optimiseIndex = form.TabbedNotebook1->indexOf(optimisePage);
  for (int page = 0; page < form.TabbedNotebook1->count(); ++page) {
    if (page == optimiseIndex) continue;
    form.TabbedNotebook1->setCurrentIndex(page);
    save(&form, QStringLiteral("page%1.png").arg(page + 1));
  }

  // The profile page after a run of the default conditions (no result file is written).
  tovimar::RunOptions options;
  options.writeResultFile = false;
  const auto run = [&] {
    const tovimar::RunOutcome outcome = tovimar::RunSimulation(form.Sim(), form, options);
    profile->RunFinished(outcome);
    return outcome;
  };
  const tovimar::RunOutcome outcome = run();
  if (!outcome.completed()) {
    std::fprintf(stderr, "tovimar_screenshots: the default run did not complete: %s\n",
                 outcome.message.c_str());
    ok = false;
  }
  form.TabbedNotebook1->setCurrentWidget(profile);
  save(&form, QStringLiteral("profile.png"));

  // The same page after a run that stopped at its input: empty, saying why.
  const std::string speed = form.Text("Edit6");
  form.SetText("Edit6", "abc");
  run();
  save(&form, QStringLiteral("profile-failed.png"));
  form.SetText("Edit6", speed);

  // The grown window after a default run.
  run();
  const QSize layoutSize = form.size();
  form.resize(GrownWidth, GrownHeight);
  save(&form, QStringLiteral("grown.png"));
  form.resize(layoutSize);

  // The Line page with an exhaust flow in zone 1, and the profile of the default run judged
  // against it with both judging curves on.
  auto* linePage = form.findChild<tovimar::ui::LinePage*>();
  form.Line().ZoneExhaustFlow[1] = 10000;
  if (linePage != nullptr) {
    form.TabbedNotebook1->setCurrentWidget(linePage);
    linePage->ShowSettings();
    save(&form, QStringLiteral("line.png"));
  }
  run();
  profile->MarginCheck->setChecked(true);
  profile->ResidualCheck->setChecked(true);
  form.TabbedNotebook1->setCurrentWidget(profile);
  save(&form, QStringLiteral("profile-judging.png"));
  profile->MarginCheck->setChecked(false);
  profile->ResidualCheck->setChecked(false);
  form.Line() = tovimar::LineSettings{};
  form.TabbedNotebook1->setCurrentIndex(0);

  form.ShowHelp();
  save(form.Help(), QStringLiteral("help.png"));
  form.Help()->close();

  form.FinishForm->show();
  save(form.FinishForm, QStringLiteral("finishform.png"));
  form.FinishForm->hide();

  // The Optimise page after a search of a sample problem on the default conditions: the
  // fastest line speed, the air of zone 2 free, within a residual and a boiling margin. The
  // speed's upper bound is wide, so that the residual limit is what stops it.
  if (optimisePage != nullptr) {
    using tovimar::LimitSense;
    optimisePage->SetObjective(QStringLiteral("LineSpeed"), tovimar::OptimiseSense::Maximise);
    optimisePage->AddVariable(QStringLiteral("LineSpeed"), 0.1, 10);
    optimisePage->AddVariable(QStringLiteral("ZoneAirTemp[2]"), 40, 120);
    optimisePage->AddLimit(QStringLiteral("LineEndResidualSolvent"), LimitSense::AtMost, 2);
    optimisePage->AddLimit(QStringLiteral("LeastBoilingMargin"), LimitSense::AtLeast, 5);
    QEventLoop searching;
    QObject::connect(optimisePage, &tovimar::ui::OptimisePage::SearchFinished, &searching, &QEventLoop::quit);
    optimisePage->StartClick();
    if (optimisePage->Running()) searching.exec();
    form.TabbedNotebook1->setCurrentWidget(optimisePage);
    save(&form, QStringLiteral("page%1.png").arg(optimiseIndex + 1));
  }
  return ok ? 0 : 1;
}
