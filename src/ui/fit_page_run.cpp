// The Fit page's fit: Start, its progress and result, the fitted run on the Drying Profile
// page, and Use fitted values.
#include <string>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "input/field_catalogue.h"
#include "run/run_sequence.h"
#include "ui/FitPage.h"
#include "ui/ProfilePage.h"
#include "ui/Tovimar_Main.h"
#include "ui/look.h"

namespace tovimar::ui {
namespace {

QString Number(double value, int digits) { return QString::number(value, 'g', digits); }

QString StatusLine(const FitResult& result) {
  switch (result.status) {
    case FitStatus::Converged:
      return QObject::tr("Converged after %1 runs.").arg(result.runs);
    case FitStatus::NotConverged:
      return QObject::tr("Not converged after %1 runs: %2").arg(result.runs).arg(FromUtf8(result.message));
    case FitStatus::Refused:
      return QObject::tr("The fit could not start: %1").arg(FromUtf8(result.message));
  }
  return {};
}

}  // namespace

void FitPage::StartClick() {
  if (Running()) return;
  if (!data_) {
    status_->setText(tr("Load a measurement file first: there is nothing to fit to."));
    return;
  }
  const std::vector<QString> texts = ParameterTexts();
  if (texts.empty()) {
    status_->setText(tr("Add at least one parameter to fit."));
    return;
  }
  std::vector<FitParameter> parameters;
  for (std::size_t row = 0; row < texts.size(); ++row) {
    std::string error;
    const std::optional<FitParameter> parameter = ParseFitParameter(texts[row].toStdString(), error);
    if (!parameter) {
      status_->setText(tr("Parameter %1 is refused: %2").arg(row + 1).arg(FromUtf8(error)));
      return;
    }
    parameters.push_back(*parameter);
  }
  MeasuredData data = *data_;
  for (const MeasuredColumn& column : MeasuredColumns()) {
    const QTableWidgetItem* item = SdTable->item(static_cast<int>(column.quantity), 1);
    const std::string text = item == nullptr ? std::string() : item->text().trimmed().toStdString();
    if (text.empty()) continue;  // the reader's default
    try {
      ApplyStandardDeviation(data, std::string(column.title) + "=" + text);
    } catch (const InputError& e) {
      status_->setText(tr("The standard deviation is refused: %1").arg(FromUtf8(e.what())));
      return;
    }
  }

  stopFlag_ = false;
  result_.reset();
  StartButton->setEnabled(false);
  UseButton->setEnabled(false);
  StopButton->setEnabled(true);
  ResultTable->setRowCount(0);
  ResultText->clear();
  status_->setText(tr("Fitting..."));
  FitOptions options;
  options.line = form_.Line();
  options.progress = [this](const FitProgress& progress) {
    QMetaObject::invokeMethod(this, [this, runs = progress.runs, ssr = progress.weightedSsr] {
      Progress(runs, ssr);
    }, Qt::QueuedConnection);
    return !stopFlag_.load();
  };
  worker_ = std::thread([this, base = form_.Snapshot(), parameters = std::move(parameters),
                         data = std::move(data), options = std::move(options)] {
    const FitResult result = FitToMeasurements(base, parameters, data, options);
    QMetaObject::invokeMethod(this, [this, result] { Finished(result); }, Qt::QueuedConnection);
  });
}

void FitPage::StopClick() { stopFlag_ = true; }

void FitPage::Progress(std::size_t runs, double weightedSsr) {
  if (result_) return;  // a late report of a fit already done
  status_->setText(tr("Runs: %1   weighted sum of squares: %2").arg(runs).arg(Number(weightedSsr, 6)));
}

void FitPage::Finished(const FitResult& result) {
  worker_.join();
  result_ = result;
  StartButton->setEnabled(true);
  StopButton->setEnabled(false);
  const bool fitted = result.status != FitStatus::Refused && !result.values.empty();
  UseButton->setEnabled(fitted);

  ResultTable->setRowCount(static_cast<int>(result.values.size()));
  for (std::size_t i = 0; i < result.values.size(); ++i) {
    const FittedValue& value = result.values[i];
    const QString cells[] = {
        FromUtf8(value.parameter.caption), Number(value.start, 8), Number(value.value, 8),
        !value.determined ? tr("undetermined")
        : value.halfWidth ? QStringLiteral("\u00b1 ") + Number(*value.halfWidth, 3)
                          : tr("no interval")};
    for (int column = 0; column < 4; ++column) {
      ResultTable->setItem(static_cast<int>(i), column, new QTableWidgetItem(cells[column]));
    }
  }
  QString text = StatusLine(result) + QLatin1Char('\n');
  if (result.status != FitStatus::Refused) {
    text += tr("%1 measurements, %2 runs (%3 rejected), weighted sum of squares %4\n")
                .arg(result.measurements)
                .arg(result.runs)
                .arg(result.rejectedRuns)
                .arg(Number(result.weightedSsr, 6));
  }
  for (const QuantityRms& rms : result.rms) {
    text += tr("RMS of %1: %2 over %3 measurements\n")
                .arg(FromUtf8(MeasuredColumnOf(rms.quantity).title))
                .arg(Number(rms.rms, 4))
                .arg(rms.count);
  }
  for (const std::string& warning : result.warnings) text += tr("Warning: ") + FromUtf8(warning) + '\n';
  ResultText->setPlainText(text);
  status_->setText(StatusLine(result));
  if (fitted) ShowFittedRun();
  emit FitFinished();
}

void FitPage::ShowFittedRun() {
  if (profile_ == nullptr) return;
  // The fitted values run in memory and shown on the Drying Profile page over the
  // measurements; the entries stay as they are until Use fitted values.
  MapEntryTexts entries = form_.Snapshot();
  for (const FittedEntry& entry : FittedEntries(*result_)) entries.ForceText(entry.entryName, entry.text);
  profile_->ShowTrialRun(entries, form_.Line());
}

void FitPage::UseClick() {
  if (!result_ || !UseButton->isEnabled()) return;
  for (const FittedEntry& entry : FittedEntries(*result_)) form_.SetText(entry.entryName, entry.text);
}

}  // namespace tovimar::ui
