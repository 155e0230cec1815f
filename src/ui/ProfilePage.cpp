#include "ui/ProfilePage.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "conditionfile/data_file.h"
#include "run/profile_csv.h"
#include "run/sweep.h"
#include "ui/Tovimar_Main.h"
#include "ui/file_browser.h"
#include "ui/look.h"

namespace tovimar::ui {
namespace {

const QColor WebTempColour{0xC0, 0x39, 0x2B};
const QColor AirTempColour{0x90, 0x90, 0x90};
const QColor Residual1Colour{0x1F, 0x5F, 0xBF};
const QColor Residual2Colour{0x1E, 0x8C, 0x3A};
const QColor ZoneLineColour{0x50, 0x50, 0x50};
const QColor NotCurrentColour{0xB0, 0x00, 0x00};


// Fixed-point text with `decimals` decimals and a point; a value that shows as zero has no
// sign.
QString Fixed(double value, int decimals) {
  QString text = QString::number(value, 'f', decimals);
  if (text.startsWith(QLatin1Char('-')) && text.toDouble() == 0) {
    text.remove(0, 1);
  }
  return text;
}

// A step between axis ticks of 1, 2 or 5 times a power of ten that gives at most about
// `ticks` intervals over `span`.
double NiceInterval(double span, int ticks) {
  if (!(span > 0)) {
    return 1;
  }
  const double raw = span / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= raw) {
      return factor * power;
    }
  }
  return 10 * power;
}

QLineSeries* AddLine(QChart* chart, const QString& name, const QColor& colour, Qt::PenStyle style,
                     qreal width) {
  auto* series = new QLineSeries;
  series->setName(name);
  QPen pen(colour);
  pen.setWidthF(width);
  pen.setStyle(style);
  series->setPen(pen);
  chart->addSeries(series);
  return series;
}

// The sections of the zone axis: one per zone, ending at its exit. A zone of no length has
// no section of its own; its number joins the next section's label (or the previous one's
// at the end of the line).
std::vector<std::pair<QString, double>> ZoneSections(const LineProfile& line) {
  std::vector<std::pair<QString, double>> sections;
  QString pending;
  for (const ZoneSpan& span : line.zones) {
    const QString number = QString::number(span.zone);
    if (span.exitPosition > span.entryPosition) {
      sections.emplace_back(pending + number, span.exitPosition);
      pending.clear();
    } else {
      pending += number + QStringLiteral(",");
    }
  }
  if (!pending.isEmpty() && !sections.empty()) {
    pending.chop(1);
    sections.back().first += QStringLiteral(",") + pending;
  }
  return sections;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  item->setTextAlignment(alignment);
  return item;
}

QTableWidgetItem* NumberCell(double value, int decimals) {
  QTableWidgetItem* item = Cell(Fixed(value, decimals));
  item->setData(Qt::UserRole, value);
  return item;
}

// Writes `bytes` to `path` whole or not at all; an empty text when done, the reason otherwise.
QString WriteWhole(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return file.errorString();
  }
  if (file.write(bytes) != bytes.size()) {
    const QString error = file.errorString();
    file.cancelWriting();
    return error;
  }
  if (!file.commit()) {
    return file.errorString();
  }
  return QString();
}

// "*.ext" of a name filter such as "CSV Files (*.csv)"; empty for "All Files (*)".
QString SuffixOf(const QString& filter) {
  const qsizetype star = filter.indexOf(QStringLiteral("(*."));
  if (star < 0) {
    return QString();
  }
  const qsizetype end = filter.indexOf(QLatin1Char(')'), star);
  return filter.mid(star + 3, end < 0 ? -1 : end - star - 3);
}

}  // namespace

QString ModalSaveFileDialogs::ChooseSaveFile(QWidget* parent, const QString& caption,
                                             const QString& suggested, const QStringList& filters,
                                             QString* chosenFilter) {
  QFileDialog dialog(parent, caption, QFileInfo(suggested).absolutePath());
  // Qt's own dialog on every desktop, as the window's open dialog.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) {
    dialog.selectNameFilter(filters.front());
    dialog.setDefaultSuffix(SuffixOf(filters.front()));
  }
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
  dialog.selectFile(QFileInfo(suggested).fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().size() != 1) {
    return QString();
  }
  if (chosenFilter != nullptr) {
    *chosenFilter = dialog.selectedNameFilter();
  }
  return dialog.selectedFiles().front();
}

ProfileChartParts BuildProfileChart(QChart* chart) {
  ProfileChartParts parts;
  parts.chart = chart;
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->setBackgroundRoundness(0);
  chart->legend()->setAlignment(Qt::AlignBottom);

  parts.airTemp = AddLine(chart, QStringLiteral("Air temperature"), AirTempColour, Qt::DashLine, 1.5);
  parts.webTemp = AddLine(chart, QStringLiteral("Web temperature"), WebTempColour, Qt::SolidLine, 2.0);
  parts.residual1 = AddLine(chart, QStringLiteral("Residual ratio, solvent-1"), Residual1Colour,
                            Qt::SolidLine, 2.0);
  parts.residual2 = AddLine(chart, QStringLiteral("Residual ratio, solvent-2"), Residual2Colour,
                            Qt::SolidLine, 2.0);
  parts.dryPoint = new QScatterSeries;
  parts.dryPoint->setName(QStringLiteral("Dry point"));
  parts.dryPoint->setMarkerShape(QScatterSeries::MarkerShapeCircle);
  parts.dryPoint->setMarkerSize(9);
  parts.dryPoint->setColor(Qt::black);
  parts.dryPoint->setBorderColor(Qt::white);
  chart->addSeries(parts.dryPoint);

  parts.positionAxis = new QValueAxis;
  parts.positionAxis->setTitleText(QStringLiteral("Position from the entrance of zone 1 (m)"));
  parts.positionAxis->setLabelFormat(QStringLiteral("%g"));
  parts.positionAxis->setTickType(QValueAxis::TicksDynamic);
  parts.positionAxis->setTickAnchor(0);
  parts.positionAxis->setGridLineColor(QColor(0xE4, 0xE4, 0xE4));
  chart->addAxis(parts.positionAxis, Qt::AlignBottom);

  // The zone axis's grid lines are the zone boundaries.
  parts.zoneAxis = new QCategoryAxis;
  parts.zoneAxis->setTitleText(QStringLiteral("Zone"));
  parts.zoneAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
  QPen boundary(ZoneLineColour);
  boundary.setStyle(Qt::DashLine);
  boundary.setWidthF(1.0);
  parts.zoneAxis->setGridLinePen(boundary);
  chart->addAxis(parts.zoneAxis, Qt::AlignTop);

  parts.tempAxis = new QValueAxis;
  parts.tempAxis->setTitleText(QStringLiteral("Temperature (deg C)"));
  parts.tempAxis->setLabelFormat(QStringLiteral("%g"));
  parts.tempAxis->setGridLineColor(QColor(0xE4, 0xE4, 0xE4));
  chart->addAxis(parts.tempAxis, Qt::AlignLeft);

  parts.residualAxis = new QValueAxis;
  parts.residualAxis->setTitleText(QStringLiteral("Residual ratio (-)"));
  parts.residualAxis->setLabelFormat(QStringLiteral("%.2f"));
  parts.residualAxis->setGridLineVisible(false);
  chart->addAxis(parts.residualAxis, Qt::AlignRight);

  for (QLineSeries* series : {parts.airTemp, parts.webTemp}) {
    series->attachAxis(parts.positionAxis);
    series->attachAxis(parts.tempAxis);
  }
  parts.airTemp->attachAxis(parts.zoneAxis);
  parts.dryPoint->attachAxis(parts.positionAxis);
  parts.dryPoint->attachAxis(parts.tempAxis);
  for (QLineSeries* series : {parts.residual1, parts.residual2}) {
    series->attachAxis(parts.positionAxis);
    series->attachAxis(parts.residualAxis);
  }
  FillProfileChart(parts, LineProfile{}, ProfileSummary{});
  return parts;
}

void FillProfileChart(const ProfileChartParts& parts, const LineProfile& line,
                      const ProfileSummary& summary) {
  QList<QPointF> web, residual1, residual2, air, dry;
  web.reserve(static_cast<qsizetype>(line.points.size()));
  residual1.reserve(web.capacity());
  residual2.reserve(web.capacity());
  double tempLow = 0, tempHigh = 0, residualHigh = 0;
  bool any = false;
  for (const ProfilePoint& point : line.points) {
    web.append(QPointF(point.position, point.temp));
    residual1.append(QPointF(point.position, point.residual1));
    residual2.append(QPointF(point.position, point.residual2));
    tempLow = any ? std::min(tempLow, point.temp) : point.temp;
    tempHigh = any ? std::max(tempHigh, point.temp) : point.temp;
    residualHigh = std::max({residualHigh, point.residual1, point.residual2});
    any = true;
  }
  for (const ZoneSpan& span : line.zones) {
    air.append(QPointF(span.entryPosition, span.airTemp));
    air.append(QPointF(span.exitPosition, span.airTemp));
    tempLow = std::min(tempLow, span.airTemp);
    tempHigh = std::max(tempHigh, span.airTemp);
  }
  if (summary.dryPoint && !line.zones.empty()) {
    const DryPoint& point = *summary.dryPoint;
    const ZoneSpan& span = line.zones.at(static_cast<std::size_t>(point.zone - 1));
    dry.append(QPointF(point.position,
                       line.points.at(span.firstPoint + static_cast<std::size_t>(point.step)).temp));
  }
  parts.webTemp->replace(web);
  parts.residual1->replace(residual1);
  parts.residual2->replace(residual2);
  parts.airTemp->replace(air);
  parts.dryPoint->replace(dry);
  // The dry point has a legend entry only when there is one.
  for (QLegendMarker* marker : parts.chart->legend()->markers(parts.dryPoint)) {
    marker->setVisible(!dry.isEmpty());
  }
  if (parts.chart->legend()->layout() != nullptr) {
    // The legend does not lay itself out again when an entry comes or goes.
    parts.chart->legend()->layout()->invalidate();
  }

  for (const QString& label : parts.zoneAxis->categoriesLabels()) {
    parts.zoneAxis->remove(label);
  }
  const double end = line.points.empty() ? 0 : line.points.back().position;
  const double xMax = end > 0 ? end : 1;
  parts.positionAxis->setRange(0, xMax);
  parts.positionAxis->setTickInterval(NiceInterval(xMax, 8));
  parts.zoneAxis->setStartValue(0);
  for (const auto& [label, sectionEnd] : ZoneSections(line)) {
    parts.zoneAxis->append(label, sectionEnd);
  }
  parts.zoneAxis->setRange(0, xMax);

  if (!any) {
    tempLow = 0;
    tempHigh = 100;
  } else {
    // Room above and below, so that no line runs along the frame.
    const double margin = std::max(0.5, 0.06 * (tempHigh - tempLow));
    tempLow -= margin;
    tempHigh += margin;
  }
  parts.tempAxis->setRange(tempLow, tempHigh);
  parts.tempAxis->applyNiceNumbers();
  parts.residualAxis->setRange(0, residualHigh > 0 ? residualHigh : 1);
  parts.residualAxis->setTickCount(6);
}

ProfilePage::ProfilePage(TForm1& form, QWidget* parent)
    : QWidget(parent), form_(form), dialogs_(std::make_unique<ModalSaveFileDialogs>()) {
  setObjectName(QStringLiteral("ProfilePage"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->setSpacing(4);

  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
  StatusLabel->setWordWrap(true);
  layout->addWidget(StatusLabel);

  // The chart view is made when the page is first shown or filled (see EnsureChart): a
  // chart takes longer to build than the whole window, and the program starts on page 1.
  chartHolder_ = new QWidget(this);
  chartHolder_->setObjectName(QStringLiteral("ChartHolder"));
  chartHolder_->setMinimumHeight(240);
  auto* holderLayout = new QVBoxLayout(chartHolder_);
  holderLayout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(chartHolder_, 1);

  SummaryTable = new QTableWidget(0, SummaryColumnCount, this);
  SummaryTable->setObjectName(QStringLiteral("SummaryTable"));
  const QStringList headers{
      QStringLiteral("Zone"),
      QStringLiteral("Exit at\n(m)"),
      QStringLiteral("Exit temp.\n(deg C)"),
      QStringLiteral("Residual\nratio 1"),
      QStringLiteral("Residual\nratio 2"),
      QStringLiteral("Evaporated 1\n(g/m2)"),
      QStringLiteral("Evaporated 2\n(g/m2)"),
      QStringLiteral("Share\n(%)")};
  const QStringList tips{
      QStringLiteral("The zone; the last row sums up the whole line."),
      QStringLiteral("Position of the zone's exit from the entrance of zone 1."),
      QStringLiteral("Web temperature at the zone's exit."),
      QStringLiteral("Residual ratio of solvent-1 at the zone's exit."),
      QStringLiteral("Residual ratio of solvent-2 at the zone's exit."),
      QStringLiteral("Solvent-1 evaporated in the zone (weight at entry minus weight at exit); "
                     "negative when it condenses."),
      QStringLiteral("Solvent-2 evaporated in the zone; negative when it condenses."),
      QStringLiteral("The zone's part of the net solvent evaporated over the whole line; empty "
                     "when the line as a whole evaporated nothing or took solvent up.")};
  SummaryTable->setHorizontalHeaderLabels(headers);
  for (int column = 0; column < SummaryColumnCount; ++column) {
    SummaryTable->horizontalHeaderItem(column)->setToolTip(tips.at(column));
  }
  SummaryTable->verticalHeader()->setVisible(false);
  SummaryTable->verticalHeader()->setDefaultSectionSize(18);
  SummaryTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  SummaryTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SummaryTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  SummaryTable->setFixedHeight(104);
  layout->addWidget(SummaryTable);

  DryPointLabel = new QLabel(this);
  DryPointLabel->setObjectName(QStringLiteral("DryPointLabel"));
  layout->addWidget(DryPointLabel);

  auto* buttons = new QHBoxLayout;
  SaveChartButton = new QPushButton(QStringLiteral("Save Chart..."), this);
  SaveChartButton->setObjectName(QStringLiteral("SaveChartButton"));
  ExportCsvButton = new QPushButton(QStringLiteral("Export Profile CSV..."), this);
  ExportCsvButton->setObjectName(QStringLiteral("ExportCsvButton"));
  SaveConditionsButton = new QPushButton(QStringLiteral("Save Conditions as Data File..."), this);
  SaveConditionsButton->setObjectName(QStringLiteral("SaveConditionsButton"));
  for (QPushButton* button : {SaveChartButton, ExportCsvButton, SaveConditionsButton}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(SaveChartButton, &QPushButton::clicked, this, &ProfilePage::SaveChartClick);
  connect(ExportCsvButton, &QPushButton::clicked, this, &ProfilePage::ExportCsvClick);
  connect(SaveConditionsButton, &QPushButton::clicked, this, &ProfilePage::SaveConditionsClick);

  ShowNoResult(QStringLiteral("No run has completed yet. Run the simulation (OK on the first "
                              "page) to see its drying profile here."));
}

ProfilePage::~ProfilePage() = default;

ProfilePage* ProfilePage::AttachTo(TForm1& form) {
  auto* page = new ProfilePage(form);
  form.AddPage(page, QString::fromUtf8(ProfilePageCaption));
  form.SetRunStartingHandler([page] { page->RunStarting(); });
  form.SetRunFinishedHandler([page](const RunOutcome& outcome) { page->RunFinished(outcome); });
  return page;
}

QChartView* ProfilePage::EnsureChart() {
  if (ChartView == nullptr) {
    ChartView = new QChartView(chartHolder_);
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartView->setRenderHint(QPainter::Antialiasing);
    Chart = BuildProfileChart(ChartView->chart());
    FillProfileChart(Chart, line_, summary_);
    chartHolder_->layout()->addWidget(ChartView);
    ChartView->show();  // a child made after its parent was shown stays hidden otherwise
  }
  return ChartView;
}

void ProfilePage::showEvent(QShowEvent* event) {
  EnsureChart();
  QWidget::showEvent(event);
}

void ProfilePage::RunStarting() {
  ShowNoResult(QStringLiteral("A run is under way; its drying profile appears here when it completes."));
}

void ProfilePage::SetSaveFileDialogs(std::unique_ptr<SaveFileDialogs> dialogs) {
  if (dialogs) {
    dialogs_ = std::move(dialogs);
  }
}

void ProfilePage::RunFinished(const RunOutcome& outcome) {
  if (outcome.completed()) {
    ShowCompletedRun(form_.Sim());
    return;
  }
  ShowNoResult(QStringLiteral("The last run did not complete (%1), so there is no profile to show. "
                              "The chart and the table stay empty until a run completes.")
                   .arg(QString::fromUtf8(RunStatusText(outcome.status).data(),
                                          static_cast<qsizetype>(RunStatusText(outcome.status).size()))));
}

void ProfilePage::ShowCompletedRun(const Simulation& sim) {
  try {
    LineProfile line = ProfileAlongLine(sim);
    ProfileSummary summary = SummarizeProfile(line);
    line_ = std::move(line);
    summary_ = std::move(summary);
  } catch (const std::exception& e) {
    ShowNoResult(QStringLiteral("The profile of the last run cannot be shown: ") +
                 QString::fromUtf8(e.what()));
    return;
  }
  current_ = true;
  EnsureChart();
  FillProfileChart(Chart, line_, summary_);
  FillSummaryTable();
  const ProfilePoint& last = line_.points.back();
  StatusLabel->setStyleSheet(QString());
  StatusLabel->setText(QStringLiteral("Last completed run: %1 %2 over %3 m, %4 s in the dryer.")
                           .arg(line_.zones.size())
                           .arg(line_.zones.size() == 1 ? QStringLiteral("zone") : QStringLiteral("zones"))
                           .arg(Fixed(last.position, 3))
                           .arg(Fixed(last.time, 3)));
  if (summary_.dryPoint) {
    const DryPoint& dry = *summary_.dryPoint;
    DryPointLabel->setText(QStringLiteral("Dry point (drying speed down to 0): %1 m from the entrance "
                                          "of zone 1, in zone %2 at step %3 (%4 s).")
                               .arg(Fixed(dry.position, 3))
                               .arg(dry.zone)
                               .arg(dry.step)
                               .arg(Fixed(dry.time, 3)));
  } else {
    DryPointLabel->setText(QStringLiteral("Dry point: not reached (the drying speed stays above 0 to "
                                          "the end of the line)."));
  }
  SaveChartButton->setEnabled(true);
  ExportCsvButton->setEnabled(true);
}

void ProfilePage::ShowNoResult(const QString& why) {
  current_ = false;
  line_ = LineProfile{};
  summary_ = ProfileSummary{};
  if (ChartView != nullptr) {
    FillProfileChart(Chart, line_, summary_);
  }
  SummaryTable->setRowCount(0);
  DryPointLabel->clear();
  StatusLabel->setText(why);
  StatusLabel->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
  SaveChartButton->setEnabled(false);
  ExportCsvButton->setEnabled(false);
}

void ProfilePage::FillSummaryTable() {
  const int zones = static_cast<int>(summary_.zones.size());
  SummaryTable->setRowCount(zones + 1);
  const auto setShare = [this](int row, const std::optional<double>& share) {
    if (share) {
      SummaryTable->setItem(row, SummaryShare, NumberCell(*share * 100, 1));
    } else {
      QTableWidgetItem* item = Cell(QStringLiteral("-"));
      item->setToolTip(QStringLiteral("The line as a whole evaporated no solvent."));
      SummaryTable->setItem(row, SummaryShare, item);
    }
  };
  for (int row = 0; row < zones; ++row) {
    const ZoneSummary& zone = summary_.zones[static_cast<std::size_t>(row)];
    QTableWidgetItem* number = Cell(QString::number(zone.zone), Qt::AlignCenter);
    number->setData(Qt::UserRole, zone.zone);
    SummaryTable->setItem(row, SummaryZone, number);
    SummaryTable->setItem(row, SummaryExitPosition, NumberCell(zone.exitPosition, 3));
    SummaryTable->setItem(row, SummaryExitTemp, NumberCell(zone.exitTemp, 2));
    SummaryTable->setItem(row, SummaryResidual1, NumberCell(zone.exitResidual1, 4));
    SummaryTable->setItem(row, SummaryResidual2, NumberCell(zone.exitResidual2, 4));
    SummaryTable->setItem(row, SummaryEvaporated1, NumberCell(zone.evaporated1, 3));
    SummaryTable->setItem(row, SummaryEvaporated2, NumberCell(zone.evaporated2, 3));
    setShare(row, zone.share);
  }
  // The whole line: its end and the amounts over all zones.
  const ZoneSummary& last = summary_.zones.back();
  SummaryTable->setItem(zones, SummaryZone, Cell(QStringLiteral("Line"), Qt::AlignCenter));
  SummaryTable->setItem(zones, SummaryExitPosition, NumberCell(last.exitPosition, 3));
  SummaryTable->setItem(zones, SummaryExitTemp, NumberCell(last.exitTemp, 2));
  SummaryTable->setItem(zones, SummaryResidual1, NumberCell(last.exitResidual1, 4));
  SummaryTable->setItem(zones, SummaryResidual2, NumberCell(last.exitResidual2, 4));
  SummaryTable->setItem(zones, SummaryEvaporated1, NumberCell(summary_.evaporated1, 3));
  SummaryTable->setItem(zones, SummaryEvaporated2, NumberCell(summary_.evaporated2, 3));
  setShare(zones, summary_.evaporated > 0 ? std::optional<double>(1.0) : std::nullopt);
  QFont bold = SummaryTable->font();
  bold.setBold(true);
  for (int column = 0; column < SummaryColumnCount; ++column) {
    SummaryTable->item(zones, column)->setFont(bold);
  }
}

void ProfilePage::ShowFailure(const QString& text) {
  try {
    form_.Dialogs().ShowError(this, text);
  } catch (...) {
    // Nothing more can be reported.
  }
}

QString ProfilePage::SuggestedPath(const QString& name) const {
  const QString directory =
      form_.DirectoryListBox1 != nullptr ? form_.DirectoryListBox1->Directory() : QDir::currentPath();
  return QDir(directory).filePath(name);
}

QString ProfilePage::ChooseFile(const QString& caption, const QString& name,
                                const QStringList& filters, QString* chosenFilter) {
  return dialogs_->ChooseSaveFile(this, caption, SuggestedPath(name), filters, chosenFilter);
}

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
  // The chart is drawn afresh at a fixed size, whatever the size of the page: a chart of
  // its own in a scene of its own, laid out before it is drawn.
  QGraphicsScene scene;
  auto* chart = new QChart;
  scene.addItem(chart);  // the scene owns the chart
  const ProfileChartParts parts = BuildProfileChart(chart);
  FillProfileChart(parts, line_, summary_);
  const QRectF area(0, 0, SavedChartWidth, SavedChartHeight);
  chart->setGeometry(area);
  scene.setSceneRect(area);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  const auto draw = [&](QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, area, area);
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
  const QString error = WriteWhole(path, bytes);
  if (!error.isEmpty()) {
    ShowFailure(QStringLiteral("The chart could not be saved as \"%1\":\n\n%2")
                    .arg(QDir::toNativeSeparators(path), error));
    return false;
  }
  return true;
}

bool ProfilePage::ExportCsv(const QString& path) {
  if (!current_) {
    ShowFailure(QStringLiteral("There is no completed run whose profile could be exported."));
    return false;
  }
  QByteArray bytes;
  try {
    bytes = QByteArray::fromStdString(FormatProfileCsv(line_));
  } catch (const std::exception& e) {
    ShowFailure(QStringLiteral("The profile cannot be exported:\n\n") + QString::fromUtf8(e.what()));
    return false;
  }
  const QString error = WriteWhole(path, bytes);
  if (!error.isEmpty()) {
    ShowFailure(QStringLiteral("The profile could not be exported to \"%1\":\n\n%2")
                    .arg(QDir::toNativeSeparators(path), error));
    return false;
  }
  return true;
}

bool ProfilePage::SaveConditions(const QString& path) {
  QByteArray bytes;
  try {
    bytes = QByteArray::fromStdString(FormatDataFile(form_));
  } catch (const std::exception& e) {
    // A text a data file cannot hold (a space or a line break in an entry).
    ShowFailure(QStringLiteral("The conditions cannot be saved as a data file:\n\n") + FromUtf8(e.what()));
    return false;
  }
  const QString error = WriteWhole(path, bytes);
  if (!error.isEmpty()) {
    ShowFailure(QStringLiteral("The conditions could not be saved as \"%1\":\n\n%2")
                    .arg(QDir::toNativeSeparators(path), error));
    return false;
  }
  return true;
}

}  // namespace tovimar::ui
