// The Drying Profile page's Save Report button: the run report as a PDF (see run_report.h).
#include <exception>

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
  // The entries are run again in memory, so that the report's conditions and results belong
  // together and the result file is left as the last run wrote it.
  const ReportRun run = RunForReport(form_, form_.Line());
  if (!run.outcome.completed()) {
    ShowFailure(QStringLiteral("The report cannot be made: the conditions as they stand now do not "
                               "complete a run.\n\n") + FromUtf8(run.outcome.message));
    return false;
  }
  ReportSources sources;
  sources.dataFile = form_.LoadedDataFile();
  const QByteArray pdf = RenderRunReport(run, form_, form_.Line(), sources);
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
