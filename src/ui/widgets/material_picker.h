#pragma once

#include <array>
#include <optional>
#include <string>

#include <QObject>

#include "conditionfile/material_choice.h"
#include "conditionfile/material_library.h"

class QComboBox;
class QGroupBox;

namespace tovimar::ui {

class TForm1;

// The pickers beside Solvent-1, Solvent-2 and the polymer on the General page: choosing a
// material of the library fills its entries (the fixed constants, which stay read-only,
// included) and a solvent's LEL on the Line page; "Custom..." adds a material to the user's
// library. A picker shows the material the line settings name (picked, or whose values the
// entries hold), or "(as entered)"; the line settings keep the values changed after a pick
// with the name (LineSettings::MaterialOverrides).
class MaterialPickers : public QObject {
  Q_OBJECT

 public:
  explicit MaterialPickers(TForm1& form);

  // Makes the picker of `slot` at the top right of `group`, and returns it.
  QComboBox* AddPicker(QGroupBox* group, MaterialSlot slot);

  [[nodiscard]] QComboBox* Picker(MaterialSlot slot) const { return pickers_[Index(slot)]; }
  // Picks the material as choosing it in the picker does; false (nothing changed) for a key
  // the library has not or a material a run cannot use, after saying why.
  bool Pick(MaterialSlot slot, const std::string& key);
  // The key of the material whose values the slot's entries hold; empty when none.
  [[nodiscard]] std::string Chosen(MaterialSlot slot) const;
  // Shows in each picker the material the entries hold.
  void Sync();
  // Reads the library again (after a material was added) and refills the pickers.
  void Reload();
  // Fills the entries of the materials the line settings name (a line file or session was
  // loaded), their changed values included; the line's own LELs and model settings stay.
  void ApplyRecorded();

  // The item that opens the dialog for a new material.
  static constexpr const char* CustomItem = "Custom...";
  static constexpr const char* AsEnteredItem = "(as entered)";

 private:
  static std::size_t Index(MaterialSlot slot) { return static_cast<std::size_t>(slot); }
  void Fill(MaterialSlot slot);
  void Activated(MaterialSlot slot, int index);
  void AddCustom(MaterialSlot slot);

  TForm1& form_;
  std::optional<MaterialLibrary> library_;
  std::string libraryError_;
  std::array<QComboBox*, 3> pickers_{};
  bool syncing_ = false;
};

}  // namespace tovimar::ui
