#pragma once

#include <map>

#include <QComboBox>
#include <QString>

namespace tovimar::ui {

class DirectoryListBox;

// The drive selector: on this system the mounted volumes. Choosing one moves the directory
// list (and the current directory) to the directory last shown on that volume, or to its
// root.
class DriveComboBox : public QComboBox {
 public:
  explicit DriveComboBox(QWidget* parent = nullptr);

  // Binds the selector to the directory list and selects the volume of its directory.
  void SetDirList(DirectoryListBox* dirList);

  // The root path of the selected volume.
  [[nodiscard]] QString Drive() const;

 private:
  void Fill();
  void SelectVolumeOf(const QString& directory);
  void VolumeChosen(int index);

  DirectoryListBox* dirList_ = nullptr;
  std::map<QString, QString> lastDirectory_;  // root path -> last directory shown there
};

}  // namespace tovimar::ui
