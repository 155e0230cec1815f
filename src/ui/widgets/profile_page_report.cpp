// The Drying Profile page's Save Report button: the run report as a PDF (see run_report.h).

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "format/file_writer.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/look.h"
#include "ui/widgets/run_report.h"

namespace tovimar::ui {

void ProfilePage::SaveReportClick() {
  QString path = ChooseFile(QStringLiteral("Save Report"), QStringLiteral("report.pdf"),
                            {QString::fromUtf8(PdfFilter), QString::fromUtf8(AnyFileFilter)}, nullptr);
  if (path.isEmpty()) {
    return;
  }
  if (QFileInfo(path).suffix().isEmpty()) {
    path += QStringLiteral(".pdf");
  }
  SaveReport(path);
}

bool ProfilePage::SaveReport(const QString& path) {
  if (!current_) {
    ShowFailure(QStringLiteral("There is no completed run whose report could be saved."));
    return false;
  }
  // The run the page shows, with the conditions it was made of (a run of the entries, the
  // best point of a search, a fitted run) and the warnings the page lists; the chart as the
  // page shows it.
  ReportRun run;
  run.outcome.status = RunStatus::Completed;
  run.results = results_;
  run.warnings = shownWarnings_;
  ReportSources sources;
  sources.dataFile = form_.LoadedDataFile();
  const ChartContent chart = ShownChart();
  const QByteArray pdf =
      RenderRunReport(run, EntriesOf(shownInputs_), shownInputs_.line, sources, &chart);
  if (pdf.isEmpty()) {
    ShowFailure(QStringLiteral("The report could not be drawn for \"%1\".").arg(QDir::toNativeSeparators(path)));
    return false;
  }
  try {
    WriteRunReport(QFile::encodeName(path).toStdString(), pdf);
  } catch (const FileError& e) {
    ShowFailure(QStringLiteral("The report could not be saved as \"%1\":\n\n%2")
                    .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    return false;
  }
  return true;
}

}  // namespace tovimar::ui
