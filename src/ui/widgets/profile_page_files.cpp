// The Drying Profile page's file buttons: the chart as PNG or SVG (as the page shows it),
// the profile of the run shown as CSV and the entries as a data file.
#include <string>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include "conditionfile/data_file.h"
#include "format/file_writer.h"
#include "results/profile_csv.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/look.h"
#include "ui/widgets/pin_board.h"

namespace tovimar::ui {

void ProfilePage::SaveChartClick() {
  QString filter = QString::fromUtf8(PngFilter);
  QString path = ChooseFile(QStringLiteral("Save Chart"), QStringLiteral("profile.png"),
                            {QString::fromUtf8(PngFilter), QString::fromUtf8(SvgFilter)}, &filter);
  if (path.isEmpty()) {
    return;
  }
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
    path += filter == QLatin1String(SvgFilter) ? QStringLiteral(".svg") : QStringLiteral(".png");
  }
  SaveChart(path);
}

void ProfilePage::ExportCsvClick() {
  const QString path = ChooseFile(QStringLiteral("Export Profile CSV"), QStringLiteral("profile.csv"),
                                  {QString::fromUtf8(CsvFilter), QString::fromUtf8(AnyFileFilter)}, nullptr);
  if (!path.isEmpty()) {
    ExportCsv(path);
  }
}

void ProfilePage::SaveConditionsClick() {
  const QString path =
      ChooseFile(QStringLiteral("Save Conditions as Data File"), QStringLiteral("conditions.txt"),
                 {QString::fromUtf8(DataFileFilter), QString::fromUtf8(AnyFileFilter)}, nullptr);
  if (!path.isEmpty()) {
    SaveConditions(path);
  }
}

bool ProfilePage::SaveChart(const QString& path) {
  if (!current_) {
    ShowFailure(QStringLiteral("There is no completed run whose chart could be saved."));
    return false;
  }
  const QRectF area(0, 0, SavedChartWidth, SavedChartHeight);
  const auto draw = [&](QPainter& painter) {
    ProfileChartPanel::Draw(painter, area, QSize(SavedChartWidth, SavedChartHeight), ShownChart());
  };

  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  bool drawn = false;
  if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(SavedChartWidth, SavedChartHeight));
    svg.setViewBox(QRect(0, 0, SavedChartWidth, SavedChartHeight));
    svg.setTitle(QStringLiteral("Drying profile"));
    QPainter painter;
    drawn = painter.begin(&svg);
    if (drawn) {
      draw(painter);
      drawn = painter.end();
    }
  } else {
    QImage image(SavedChartWidth, SavedChartHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(painter);
    painter.end();
    drawn = image.save(&buffer, "PNG");
  }
  buffer.close();
  if (!drawn || bytes.isEmpty()) {
    ShowFailure(QStringLiteral("The chart could not be drawn for \"%1\".").arg(QDir::toNativeSeparators(path)));
    return false;
  }
  try {
    WriteTextFile(QFile::encodeName(path).toStdString(),
                  std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), "chart");
  } catch (const FileError& e) {
    ShowFailure(QStringLiteral("The chart could not be saved as \"%1\":\n\n%2")
                    .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    return false;
  }
  return true;
}

bool ProfilePage::ExportCsv(const QString& path) {
  if (!current_) {
    ShowFailure(QStringLiteral("There is no completed run whose profile could be exported."));
    return false;
  }
  try {
    WriteProfileCsv(QFile::encodeName(path).toStdString(), results_);
  } catch (const FileError& e) {
    ShowFailure(QStringLiteral("The profile could not be exported to \"%1\":\n\n%2")
                    .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    return false;
  } catch (const std::exception& e) {
    ShowFailure(QStringLiteral("The profile cannot be exported:\n\n") + FromUtf8(e.what()));
    return false;
  }
  return true;
}

bool ProfilePage::SaveConditions(const QString& path) {
  try {
    WriteDataFile(QFile::encodeName(path).toStdString(), form_);
  } catch (const InputError& e) {
    // A text a data file cannot hold (a space or a line break in an entry).
    ShowFailure(QStringLiteral("The conditions cannot be saved as a data file:\n\n") + FromUtf8(e.what()));
    return false;
  } catch (const FileError& e) {
    ShowFailure(QStringLiteral("The conditions could not be saved as \"%1\":\n\n%2")
                    .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    return false;
  }
  return true;
}

}  // namespace tovimar::ui
