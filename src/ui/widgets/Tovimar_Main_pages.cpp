// The four condition pages of the main window: groups, caption strips and entries placed
// by the window layout, with captions, defaults and tooltips from the field catalogue.
#include "ui/widgets/Tovimar_Main.h"

#include <algorithm>
#include <limits>
#include <map>
#include <stdexcept>

#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "ui/widgets/artwork.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/directory_list_box.h"
#include "ui/widgets/drive_combo_box.h"
#include "ui/widgets/file_list_box.h"
#include "ui/widgets/look.h"
#include "ui/widgets/material_picker.h"

namespace tovimar::ui {
namespace {

const QColor kMaroon{0x80, 0x00, 0x00};

// A caption strip or a text of the window: blue, in the caption font.
QLabel* NewCaption(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setFont(GothicFont(12));
  label->setIndent(0);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  SetTextColour(label, RowCaptionColour);
  return label;
}

// The catalogue's field of an entry that the layout places.
const ConditionField& RequireField(std::string_view entryName) {
  const ConditionField* field = FindField(entryName);
  if (field == nullptr) {
    throw std::logic_error("the layout names an entry the catalogue lacks: " + std::string(entryName));
  }
  return *field;
}

// Wide enough for the entry's default text.
int EntryWidthFor(const QString& text, int minimum) {
  return std::max(minimum, QFontMetrics(GothicFont(13)).horizontalAdvance(text) + 12);
}

}  // namespace

QWidget* TForm1::NewPage(const QString& caption) {
  auto* page = new QFrame;
  page->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  page->setLineWidth(1);
  TabbedNotebook1->addTab(page, caption);
  return page;
}

QGroupBox* TForm1::NewGroup(QWidget* parent, std::string_view objectName, std::string_view caption,
                            const Rect& rect, const QColor& captionColour) {
  auto* group = new QGroupBox(FromUtf8(caption), parent);
  group->setObjectName(FromUtf8(objectName));
  group->setGeometry(rect.x, rect.y, rect.w, rect.h);
  SetTextColour(group, captionColour);
  return group;
}

QLineEdit* TForm1::NewEntry(QWidget* parent, const ConditionField& field) {
  auto* entry = new QLineEdit(FromUtf8(field.defaultText), parent);
  entry->setObjectName(FromUtf8(field.entryName));
  entry->setMaxLength(std::numeric_limits<int>::max());  // whatever the batch tool takes
  entry->setFont(GothicFont(13));
  entry->setEnabled(field.enabled);
  entry->setToolTip(ToolTipText(FieldTooltip(field)));
  entry->installEventFilter(this);
  entries_.emplace(field.entryName, entry);
  tabChain_.push_back(entry);
  return entry;
}

QLineEdit* TForm1::AddRow(QWidget* group, const ConditionField& field, int x, int y, int width,
                          int entryWidth) {
  QLabel* caption = NewCaption(group, FromUtf8(field.caption));
  caption->setObjectName(FromUtf8(field.entryName) + QStringLiteral("Caption"));
  caption->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  caption->setLineWidth(1);
  caption->setGeometry(x, y, width, RowHeight);
  caption->setToolTip(ToolTipText(FieldTooltip(field)));
  QLineEdit* entry = NewEntry(group, field);
  entry->setGeometry(x + width - entryWidth, y, entryWidth, EntryHeight);
  return entry;
}

int TForm1::AddAntoineRow(QWidget* group, const GeneralRow& row, int x, int y) {
  // One taller strip that reads: caption, A, "- (", B, "/( T + ", C, " )) ".
  auto* strip = new QFrame(group);
  strip->setObjectName(FromUtf8(row.entry) + QStringLiteral("Strip"));
  strip->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  strip->setLineWidth(1);
  const QFontMetrics captionMetrics(GothicFont(12));
  const int entryTop = (AntoineRowHeight - EntryHeight) / 2;
  int cursor = 1;
  const auto addText = [&](std::string_view text, const QString& objectName) {
    QLabel* label = NewCaption(strip, FromUtf8(text));
    label->setObjectName(objectName);
    const int width = captionMetrics.horizontalAdvance(label->text()) + 1;
    label->setGeometry(cursor, 1, width, AntoineRowHeight - 2);
    cursor += width;
  };
  const auto addEntry = [&](std::string_view name) {
    QLineEdit* entry = NewEntry(strip, RequireField(name));
    const int width = EntryWidthFor(entry->text(), 44);
    entry->setGeometry(cursor, entryTop, width, EntryHeight);
    cursor += width + 1;
  };
  const QString name = FromUtf8(row.entry);
  addText(AntoineTexts[0], name + QStringLiteral("Caption"));
  addEntry(row.entry);
  addText(AntoineTexts[1], name + QStringLiteral("Text1"));
  addEntry(row.antoineB);
  addText(AntoineTexts[2], name + QStringLiteral("Text2"));
  addEntry(row.antoineC);
  addText(AntoineTexts[3], name + QStringLiteral("Text3"));
  const int width = cursor + 1;
  strip->setGeometry(x, y, width, AntoineRowHeight);
  return x + width;
}

void TForm1::BuildZonePage1(QWidget* page) {
  // Built in reading order, which Tab follows: the left column (zone 1, zone 2), then the
  // right one from the top (Increment of z, the file controls, the buttons).
  BuildZoneGroup(page, ZoneGroups[0]);
  BuildZoneGroup(page, ZoneGroups[1]);

  QGroupBox* accuracy = NewGroup(page, "GroupBox10", "  Calculation Accuracy  ", AccuracyGroupRect,
                                 GroupCaptionColour);
  AddRow(accuracy, RequireField(AccuracyEntry), GroupInset, FirstRowTop,
         AccuracyGroupRect.w - 2 * GroupInset, ZoneEntryWidth);

  auto* picture = new BevelPanel(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Lowered, page);
  picture->setObjectName(QStringLiteral("Panel1"));
  picture->setGeometry(PicturePanelRect.x, PicturePanelRect.y, PicturePanelRect.w, PicturePanelRect.h);
  Image1 = new QLabel(picture);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(DrawDryerPicture());
  Image1->setGeometry(3, 3, DryerPictureWidth, DryerPictureHeight);

  InputData = new QPushButton(QStringLiteral("&Input Data File"), page);
  InputData->setObjectName(QStringLiteral("InputData"));
  InputData->setGeometry(InputDataRect.x, InputDataRect.y, InputDataRect.w, InputDataRect.h);
  {
    QPalette palette = InputData->palette();
    palette.setColor(QPalette::ButtonText, kMaroon);
    InputData->setPalette(palette);
  }
  connect(InputData, &QPushButton::clicked, this, &TForm1::InputDataClick);
  tabChain_.push_back(InputData);

  QGroupBox* saveFile = NewGroup(page, "GroupBox21", "  Save File Name  ", SaveFileGroupRect,
                                 GroupCaptionColour);
  Edit250 = new QLineEdit(FromUtf8(SaveFileNameDefault), saveFile);
  Edit250->setObjectName(FromUtf8(SaveFileNameEntry));
  Edit250->setMaxLength(std::numeric_limits<int>::max());
  Edit250->setFont(GothicFont(13));
  Edit250->setGeometry(SaveFileEntryRect.x, SaveFileEntryRect.y, SaveFileEntryRect.w,
                       SaveFileEntryRect.h);
  Edit250->setToolTip(ToolTipText(SaveFileNameTooltip()));
  Edit250->installEventFilter(this);
  entries_.emplace(std::string(SaveFileNameEntry), Edit250);
  tabChain_.push_back(Edit250);

  DriveComboBox1 = new DriveComboBox(page);
  DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
  DriveComboBox1->setGeometry(DriveComboRect.x, DriveComboRect.y, DriveComboRect.w, DriveComboRect.h);
  tabChain_.push_back(DriveComboBox1);

  DirectoryListBox1 = new DirectoryListBox(page);
  DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
  DirectoryListBox1->setGeometry(DirectoryListRect.x, DirectoryListRect.y, DirectoryListRect.w,
                                 DirectoryListRect.h);
  tabChain_.push_back(DirectoryListBox1);

  FileListBox1 = new FileListBox(page);
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1->setGeometry(FileListRect.x, FileListRect.y, FileListRect.w, FileListRect.h);
  tabChain_.push_back(FileListBox1);
  for (QWidget* browser : std::initializer_list<QWidget*>{DriveComboBox1, DirectoryListBox1, FileListBox1}) {
    browser->setFocusPolicy(Qt::StrongFocus);
  }

  // At start-up the browser shows the directory the program was started in.
  DirectoryListBox1->ShowDirectory(QDir::currentPath());
  DirectoryListBox1->SetFileList(FileListBox1);
  DriveComboBox1->SetDirList(DirectoryListBox1);
  connect(DirectoryListBox1, &DirectoryListBox::openFailed, this, [this](const QString& directory) {
    ReportFailure(QStringLiteral("The directory \"") + QDir::toNativeSeparators(directory) +
                  QStringLiteral("\" cannot be opened."));
  });

  // The stock captions "OK" and "Close", each with its letter for Alt.
  BitBtn1 = new QPushButton(OkGlyph(), QStringLiteral("&OK"), page);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(RunButtonRect.x, RunButtonRect.y, RunButtonRect.w, RunButtonRect.h);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
  tabChain_.push_back(BitBtn1);

  BitBtn2 = new QPushButton(CloseGlyph(), QStringLiteral("&Close"), page);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setGeometry(CloseButtonRect.x, CloseButtonRect.y, CloseButtonRect.w, CloseButtonRect.h);
  connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
  tabChain_.push_back(BitBtn2);
}

QGroupBox* TForm1::BuildZoneGroup(QWidget* page, const ZoneGroupPlace& place) {
  const std::string caption = "Zone " + std::to_string(place.zone);
  QGroupBox* group = NewGroup(page, place.objectName, caption, place.rect, GroupCaptionColour);
  std::vector<const ConditionField*> rows;
  if (place.zone == 1) {
    // The web's own fields stand above zone 1's columns.
    for (const ConditionField& field : ConditionFields()) {
      if (field.group == FieldGroup::Zone && field.zone == 0) {
        rows.push_back(&field);
      }
    }
  }
  for (int column = 1; column <= ZoneColumns; ++column) {
    rows.push_back(&ZoneField(place.zone, column));
  }
  if (place.zone < MaxZones) {
    AddCopyButton(group, place.zone);
  }
  int y = FirstRowTop;
  for (const ConditionField* field : rows) {
    AddRow(group, *field, GroupInset, y, place.rect.w - 2 * GroupInset, ZoneEntryWidth);
    y += RowPitch;
  }
  return group;
}

void TForm1::BuildGeneralPage(QWidget* page) {
  QGroupBox* general = NewGroup(page, "GroupBox22", "  General  ", GeneralGroupRect, GroupCaptionColour);
  for (const GeneralSubGroup& sub : GeneralSubGroups()) {
    QGroupBox* group = NewGroup(general, sub.objectName, sub.caption, sub.rect, SubGroupCaptionColour);
    std::map<int, int> lineEnd;  // row -> right end of a vapour-pressure strip on that line
    for (const GeneralRow& row : sub.rows) {
      const int y = FirstRowTop + (row.row - 1) * RowPitch;
      const ColumnPlace& column = sub.columns.at(static_cast<std::size_t>(row.column));
      if (row.IsAntoine()) {
        lineEnd[row.row] = AddAntoineRow(group, row, column.x, y);
        continue;
      }
      const ConditionField& field = RequireField(row.entry);
      int x = column.x;
      int top = y;
      if (const auto end = lineEnd.find(row.row); end != lineEnd.end()) {
        x = std::max(x, end->second + 4);
        top += (AntoineRowHeight - RowHeight) / 2;
      }
      AddRow(group, field, x, top, column.x + column.width - x, column.entryWidth);
    }
    // The material pickers stand at the top right of the polymer's and the solvents' groups.
    for (const auto& [name, slot] : {std::pair{"GroupBox4", MaterialSlot::Polymer},
                                     {"GroupBox5", MaterialSlot::Solvent1},
                                     {"GroupBox6", MaterialSlot::Solvent2}}) {
      if (sub.objectName == name) tabChain_.push_back(pickers_->AddPicker(group, slot));
    }
  }
}
}  // namespace tovimar::ui
