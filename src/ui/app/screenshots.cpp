// Renders every page of the main window, the Drying Profile page after a completed and after
// a failed run, the window grown beyond its layout, two runs pinned over the current one and
// the Compare page with them, the Line page and the profile judged against it with the
// judging curves on, the same with a residual target and five runs pinned over it, the Line
// page with the diffusion model chosen and a diffusion run with its profile through the coating, the Fit
// page and the measurements over the fitted run, the help window, the completion dialog, the
// Optimise page after a search and the "Save changes?" prompt over the window to PNG files:
//   tovimar_screenshots <directory>
// Run it under the offscreen platform (QT_QPA_PLATFORM=offscreen) on a machine without a
// display.
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>

#include "format/csv.h"
#include "results/line_profile.h"
#include "run/run_sequence.h"
#include "study/fit.h"
#include "ui/widgets/compare_page.h"
#include "ui/widgets/F_Form.h"
#include "ui/widgets/form_dialogs.h"
#include "ui/widgets/fit_page.h"
#include "ui/widgets/line_page.h"
#include "ui/widgets/optimise_page.h"
#include "ui/widgets/help_window.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/material_picker.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/session_keeper.h"
#include "ui/widgets/application_setup.h"

namespace {

// The size of the grown window's picture.
constexpr int GrownWidth = 1100;
constexpr int GrownHeight = 800;

// The Fit page after fitting Keff to measurements of a run with Keff 1.8 (every 3 m, web
// temperature with noise of 1 K, the residual ratios with noise of 0.01), and the Drying
// Profile page with the fitted run under the measurements. False when a step fails.
bool SaveFitScreenshots(tovimar::ui::TForm1& form, tovimar::ui::ProfilePage* profile,
                        const std::function<void(QWidget*, const QString&)>& save) {
  using namespace tovimar;
  auto* fit = form.findChild<ui::FitPage*>();
  MapEntryTexts entries;
  entries.ForceText("Edit205", "1.8");
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  if (fit == nullptr || !RunSimulation(sim, entries, options).completed()) return false;
  const LineProfile line = ProfileAlongLine(sim);
  std::mt19937 random(18);
  std::normal_distribution<double> noise(0, 1);
  std::string csv(MeasuredPositionTitle);
  const MeasuredQuantity measured[] = {MeasuredQuantity::WebTemp, MeasuredQuantity::Residual1,
                                       MeasuredQuantity::Residual2};
  for (const MeasuredQuantity q : measured) {
    csv += ',';
    csv += MeasuredColumnOf(q).title;
  }
  csv += '\n';
  for (double x = 1; x <= line.points.back().position; x += 3) {
    csv += ShortestNumberText(x);
    for (const MeasuredQuantity q : measured) {
      csv += ',';
      csv += ShortestNumberText(*ModelValueAt(line, q, x) + MeasuredColumnOf(q).defaultSd * noise(random));
    }
    csv += '\n';
  }
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("measurements.csv")));
  if (!dir.isValid() || !file.open(QIODevice::WriteOnly) ||
      file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size())) {
    return false;
  }
  file.close();
  if (!fit->LoadMeasurements(file.fileName())) return false;
  fit->AddParameter(QStringLiteral("Keff"), QStringLiteral("0.5"), QStringLiteral("5"));
  QEventLoop loop;
  QObject::connect(fit, &ui::FitPage::FitFinished, &loop, &QEventLoop::quit);
  fit->StartClick();
  if (fit->Running()) loop.exec();
  form.TabbedNotebook1->setCurrentWidget(fit);
  save(&form, QStringLiteral("fit.png"));
  form.TabbedNotebook1->setCurrentWidget(profile);
  save(&form, QStringLiteral("profile-measured.png"));
  const bool fitted = fit->Result() && fit->Result()->converged();
  profile->SetMeasurements(std::nullopt);
  form.Line().Fit = FitSetup{};
  return fitted;
}

// The window's dialogs, but "Save changes?" is drawn over a picture of the window (the
// offscreen platform gives a dialog no place on a screen) and answered Cancel.
class PromptPicture : public tovimar::ui::ModalDialogs {
 public:
  explicit PromptPicture(std::function<bool(const QPixmap&)> save) : save_(std::move(save)) {}

  tovimar::ui::SaveChangesAnswer AskSaveChanges(QWidget* parent, const QString& detail) override {
    const std::unique_ptr<QMessageBox> box = tovimar::ui::SaveChangesBox(parent, detail);
    box->show();
    QApplication::processEvents();
    QPixmap picture = parent->grab();
    const QPixmap dialog = box->grab();
    box->hide();
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(0, 0, 0, 60));  // the window behind the prompt
    const QPoint at((picture.width() - dialog.width()) / 2, (picture.height() - dialog.height()) / 2);
    painter.drawPixmap(at, dialog);
    painter.setPen(QColor(60, 60, 60));
    painter.drawRect(QRect(at, dialog.size()).adjusted(-1, -1, 0, 0));
    painter.end();
    shown_ = save_(picture);
    return tovimar::ui::SaveChangesAnswer::Cancel;
  }

  [[nodiscard]] bool Shown() const { return shown_; }

 private:
  std::function<bool(const QPixmap&)> save_;
  bool shown_ = false;
};

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

  // Runs at line speeds 0.5 and 1.5 pinned over the current default run: the Drying Profile
  // page with their dashed overlays, and the Compare page with the two side by side.
  for (const char* pinnedSpeed : {"0.5", "1.5"}) {
    form.SetText("Edit6", pinnedSpeed);
    run();
    ok = profile->PinRun(QStringLiteral("Speed %1").arg(QString::fromLatin1(pinnedSpeed))) && ok;
  }
  form.SetText("Edit6", speed);
  run();
  form.TabbedNotebook1->setCurrentWidget(profile);
  save(&form, QStringLiteral("profile-pinned.png"));
  if (auto* compare = form.findChild<tovimar::ui::ComparePage*>()) {
    form.TabbedNotebook1->setCurrentWidget(compare);
    save(&form, QStringLiteral("compare.png"));
  }
  profile->Pinned().Clear();

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

  // The same at the window's own size with every curve on: a residual target, the warning
  // of the exhaust and five runs pinned over it.
  form.Line().ResidualTarget = 2;
  for (const char* pinnedSpeed : {"0.5", "0.7", "1.3", "1.6", "2.0"}) {
    form.SetText("Edit6", pinnedSpeed);
    run();
    ok = profile->PinRun(QStringLiteral("Speed %1 m/s").arg(QString::fromLatin1(pinnedSpeed))) && ok;
  }
  form.SetText("Edit6", speed);
  run();
  save(&form, QStringLiteral("profile-crowded.png"));
  profile->Pinned().Clear();
  profile->MarginCheck->setChecked(false);
  profile->ResidualCheck->setChecked(false);
  form.Line() = tovimar::LineSettings{};

  // The Line page with the diffusion model chosen, and the Drying Profile page after a
  // diffusion run of the default conditions with the profile through the coating at a
  // point of zone 1 picked on the profile chart.
  form.Line().Model.name = std::string(tovimar::DiffusionModelName);
  if (linePage != nullptr) {
    form.TabbedNotebook1->setCurrentWidget(linePage);
    linePage->ShowSettings();
    save(&form, QStringLiteral("model.png"));
  }
  options.model = form.Line().Model;
  if (!run().completed()) {
    std::fprintf(stderr, "tovimar_screenshots: the diffusion run did not complete\n");
    ok = false;
  }
  form.TabbedNotebook1->setCurrentWidget(profile);
  QApplication::processEvents();
  ok = profile->PickPosition(18) && ok;
  save(&form, QStringLiteral("profile-through-coating.png"));
  options.model = tovimar::ModelChoice{};
  form.Line() = tovimar::LineSettings{};
  form.resize(layoutSize);  // the chart through the coating made the window taller

  if (!SaveFitScreenshots(form, profile, save)) {
    std::fprintf(stderr, "tovimar_screenshots: the fit to synthetic measurements failed\n");
    ok = false;
  }
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

  // The General page with ethyl acetate, toluene and poly(methyl methacrylate) picked from
  // the materials library.
  form.Pickers().Pick(tovimar::MaterialSlot::Solvent1, "ethyl-acetate");
  form.Pickers().Pick(tovimar::MaterialSlot::Solvent2, "toluene");
  form.Pickers().Pick(tovimar::MaterialSlot::Polymer, "poly-methyl-methacrylate");
  form.TabbedNotebook1->setCurrentIndex(3);
  save(&form, QStringLiteral("materials.png"));

  // The window with an entry changed asks "Save changes?" before it closes.
  if (window.session != nullptr) {
    auto prompt = std::make_unique<PromptPicture>([&](const QPixmap& picture) {
      const QString path = out.filePath(QStringLiteral("session-prompt.png"));
      if (!picture.save(path, "PNG")) return false;
      std::printf("%s\n", qPrintable(path));
      return true;
    });
    const PromptPicture* asked = prompt.get();
    form.TabbedNotebook1->setCurrentIndex(0);
    form.SetText("Edit6", "0.9");
    form.SetDialogs(std::move(prompt));
    const bool kept = window.session->ConfirmLoss(true);
    if (kept || !asked->Shown()) {
      std::fprintf(stderr, "tovimar_screenshots: the window did not ask \"Save changes?\"\n");
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
