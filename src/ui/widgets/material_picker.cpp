#include "ui/widgets/material_picker.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QStringList>

#include "input/number_parse.h"
#include "model/drying_model.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/form_dialogs.h"
#include "ui/widgets/look.h"

namespace tovimar::ui {

namespace {

constexpr int PickerWidth = 230;
constexpr int PickerHeight = 18;

// The dialog of "Custom...": a key, a name and one entry per property of the kind.
class CustomMaterialDialog : public QDialog {
 public:
  CustomMaterialDialog(QWidget* parent, MaterialKind kind) : QDialog(parent), kind_(kind) {
    setObjectName(QStringLiteral("CustomMaterialDialog"));
    setWindowTitle(kind == MaterialKind::Solvent ? QStringLiteral("New solvent") : QStringLiteral("New polymer"));
    auto* form = new QFormLayout(this);
    key_ = AddEntry(form, QStringLiteral("Key (letters, digits, -)"), QStringLiteral("MaterialKey"));
    name_ = AddEntry(form, QStringLiteral("Name"), QStringLiteral("MaterialName"));
    for (const MaterialProperty& property : MaterialProperties(kind)) {
      values_.push_back(AddEntry(form, QString::fromUtf8(property.caption.data(), static_cast<int>(property.caption.size())),
                                 QStringLiteral("Material_") + QString::fromLatin1(property.member.data(),
                                                                                   static_cast<int>(property.member.size()))));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomMaterialDialog::Save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  }
  [[nodiscard]] const std::string& Key() const { return key; }

 private:
  QLineEdit* AddEntry(QFormLayout* form, const QString& caption, const QString& name) {
    auto* entry = new QLineEdit(this);
    entry->setObjectName(name);
    form->addRow(caption, entry);
    return entry;
  }
  // Adds the material to the user's library with the library's checks; stays open on a refusal.
  void Save() {
    Material material{kind_, key_->text().trimmed().toStdString(), name_->text().trimmed().toStdString(), {}, true, {}, {}};
    for (QLineEdit* entry : values_) {
      const std::string text = entry->text().trimmed().toStdString();
      const std::optional<double> value = ParseNumber(text);
      if (!text.empty() && !value) {
        error_ = "\"" + text + "\" is not a number.";
        return Refused();
      }
      material.values.push_back(text.empty() ? std::nullopt : value);
    }
    const bool keyOk = !material.key.empty() && material.key.find_first_not_of(
                                                    "abcdefghijklmnopqrstuvwxyz0123456789-") == std::string::npos;
    if (!keyOk) {
      error_ = "The key must be lower-case letters, digits and \"-\".";
      return Refused();
    }
    try {
      AddUserMaterial(material);
    } catch (const std::exception& e) {
      error_ = e.what();
      return Refused();
    }
    key = material.key;
    accept();
  }
  void Refused() { static_cast<TForm1*>(parentWidget())->Dialogs().ShowMessage(this, QString::fromStdString(error_)); }

  MaterialKind kind_;
  QLineEdit* key_ = nullptr;
  QLineEdit* name_ = nullptr;
  std::vector<QLineEdit*> values_;
  std::string error_;
  std::string key;
};

}  // namespace

MaterialPickers::MaterialPickers(TForm1& form) : QObject(&form), form_(form) {
  try {
    library_ = LoadMaterialLibrary();
  } catch (const std::exception& e) {
    libraryError_ = e.what();
  }
  connect(&form_, &TForm1::LineSettingsLoaded, this, &MaterialPickers::ApplyRecorded);
}

void MaterialPickers::ApplyRecorded() {
  if (!library_) return;
  const LineSettings& line = form_.Line();
  for (const MaterialSlotInfo& info : MaterialSlots()) {
    try {
      const auto entries = RecordedEntries(*library_, line, info.slot);
      syncing_ = true;
      for (const auto& [entryName, text] : entries) form_.Entry(entryName)->setText(QString::fromStdString(text));
      syncing_ = false;
    } catch (const MaterialLibraryError& e) {
      syncing_ = false;
      form_.Dialogs().ShowMessage(&form_, QString::fromStdString(e.what()));
    }
  }
  Sync();
}

QComboBox* MaterialPickers::AddPicker(QGroupBox* group, MaterialSlot slot) {
  auto* picker = new QComboBox(group);
  picker->setObjectName(QStringLiteral("MaterialPicker_") + QString::fromLatin1(SlotInfo(slot).name.data()));
  picker->setFont(GothicFont(11));
  picker->setGeometry(group->width() - PickerWidth - 6, 0, PickerWidth, PickerHeight);
  picker->setFocusPolicy(Qt::StrongFocus);
  pickers_[Index(slot)] = picker;
  Fill(slot);
  connect(picker, &QComboBox::activated, this, [this, slot](int index) { Activated(slot, index); });
  for (const MaterialEntry& entry : MaterialEntries(slot)) {
    if (QLineEdit* edit = form_.Entry(entry.entryName)) connect(edit, &QLineEdit::textChanged, this, &MaterialPickers::Sync);
  }
  return picker;
}

void MaterialPickers::Fill(MaterialSlot slot) {
  QComboBox* picker = pickers_[Index(slot)];
  const QSignalBlocker block(picker);
  picker->clear();
  picker->addItem(QString::fromLatin1(AsEnteredItem), QString());
  if (!library_) {
    picker->setToolTip(QString::fromStdString(libraryError_));
    picker->setEnabled(false);
    return;
  }
  picker->setToolTip(QStringLiteral("Fills the entries with a material of the library (") +
                     QString::fromStdString(ShippedMaterialsPath()) + QStringLiteral(" and ") +
                     QString::fromStdString(UserMaterialsPath()) + QStringLiteral(")"));
  const MaterialKind kind = SlotInfo(slot).kind;
  for (const Material& m : kind == MaterialKind::Solvent ? library_->solvents : library_->polymers) {
    if (!m.MissingForRun().empty()) continue;  // a run could not use it
    picker->addItem(QString::fromStdString(m.name), QString::fromStdString(m.key));
  }
  picker->addItem(QString::fromLatin1(CustomItem), QStringLiteral("*custom"));
}

bool MaterialPickers::Pick(MaterialSlot slot, const std::string& key) {
  if (!library_) return false;
  MaterialPick pick;
  try {
    pick = PickMaterial(*library_, slot, key, form_.Line());
  } catch (const UserError& e) {  // not in the library, not usable, or a value a setting refuses
    form_.Dialogs().ShowMessage(&form_, QString::fromStdString(e.what()));
    return false;
  }
  syncing_ = true;
  for (const auto& [entryName, text] : pick.entries) {
    // The fixed constants are read-only for typing, not for a material's values.
    form_.Entry(entryName)->setText(QString::fromStdString(text));
  }
  syncing_ = false;
  // The LEL, the name and the diffusion model's parameters: the Line page shows them anew.
  form_.Line() = std::move(pick.line);
  emit form_.LineSettingsLoaded();
  Sync();
  // What the library lacks keeps the value in use: said where the run uses it, so that the
  // lumped model's user is not told of free-volume parameters at every pick.
  const bool diffusion = form_.Line().Model.name == DiffusionModelName;
  QStringList kept;
  for (const KeptValues& values : pick.kept) {
    if (diffusion || !values.diffusionOnly) kept << QStringLiteral("Warning: ") + QString::fromStdString(values.message);
  }
  if (!kept.isEmpty()) form_.Dialogs().ShowMessage(&form_, kept.join(QStringLiteral("\n\n")));
  return true;
}

std::string MaterialPickers::Chosen(MaterialSlot slot) const {
  if (!library_) return {};
  const Material* held = MaterialHeldBy(*library_, slot, form_);
  return held != nullptr ? held->key : std::string();
}

void MaterialPickers::Sync() {
  if (syncing_ || !library_) return;
  LineSettings& line = form_.Line();
  for (const MaterialSlotInfo& info : MaterialSlots()) {
    // Entries that hold a material's values name it; a named material stays named when an
    // entry changes, and the line settings keep the changed values with the name.
    std::string& recorded = RecordedMaterial(line, info.slot);
    if (recorded.empty()) recorded = Chosen(info.slot);
    QComboBox* picker = pickers_[Index(info.slot)];
    if (picker == nullptr) continue;
    const QSignalBlocker block(picker);
    picker->setCurrentIndex(std::max(0, picker->findData(QString::fromStdString(recorded))));
  }
  try {
    RecordMaterialOverrides(*library_, form_, line);
  } catch (const MaterialLibraryError&) {
    // A named material the library no longer has (the user's library changed): its values
    // are the entries' as they stand.
  }
}

void MaterialPickers::Reload() {
  try {
    library_ = LoadMaterialLibrary();
    libraryError_.clear();
  } catch (const std::exception& e) {
    library_.reset();
    libraryError_ = e.what();
  }
  for (const MaterialSlotInfo& info : MaterialSlots()) {
    if (pickers_[Index(info.slot)] != nullptr) Fill(info.slot);
  }
  Sync();
}

void MaterialPickers::Activated(MaterialSlot slot, int index) {
  const QString key = pickers_[Index(slot)]->itemData(index).toString();
  if (key == QLatin1String("*custom")) {
    AddCustom(slot);
  } else if (!key.isEmpty()) {
    Pick(slot, key.toStdString());
  } else {
    // "(as entered)": the slot names no material; entries that hold one's values name it again.
    RecordedMaterial(form_.Line(), slot).clear();
  }
  Sync();
}

void MaterialPickers::AddCustom(MaterialSlot slot) {
  CustomMaterialDialog dialog(&form_, SlotInfo(slot).kind);
  if (dialog.exec() != QDialog::Accepted) return;
  Reload();
  Pick(slot, dialog.Key());
}

}  // namespace tovimar::ui
