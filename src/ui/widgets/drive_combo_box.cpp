#include "ui/widgets/drive_combo_box.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "ui/widgets/directory_list_box.h"

namespace tovimar::ui {

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent) { Fill(); }

void DriveComboBox::Fill() {
  clear();
  std::map<QString, QString> volumes;  // root path -> caption, sorted by root path
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    // Bind mounts of single files are volumes too; only directories can be browsed.
    if (!volume.isValid() || !volume.isReady() || !QFileInfo(volume.rootPath()).isDir()) {
      continue;
    }
    QString caption = QDir::toNativeSeparators(volume.rootPath());
    const QString name = volume.displayName();
    if (!name.isEmpty() && name != volume.rootPath()) {
      caption += QStringLiteral(" [") + name + QLatin1Char(']');
    }
    volumes.emplace(volume.rootPath(), caption);
  }
  for (const auto& [root, caption] : volumes) {
    addItem(caption, root);
  }
}

void DriveComboBox::SetDirList(DirectoryListBox* dirList) {
  dirList_ = dirList;
  connect(dirList_, &DirectoryListBox::directoryChanged, this,
          [this](const QString& directory) { SelectVolumeOf(directory); });
  connect(this, &QComboBox::activated, this, &DriveComboBox::VolumeChosen);
  SelectVolumeOf(dirList_->Directory());
}

QString DriveComboBox::Drive() const { return currentData().toString(); }

void DriveComboBox::SelectVolumeOf(const QString& directory) {
  const QString root = QStorageInfo(directory).rootPath();
  int index = findData(root);
  if (index < 0) {
    // A volume mounted since start-up.
    Fill();
    index = findData(root);
  }
  if (index >= 0) {
    setCurrentIndex(index);
    lastDirectory_[root] = directory;
  }
}

void DriveComboBox::VolumeChosen(int index) {
  if (dirList_ == nullptr || index < 0) {
    return;
  }
  const QString root = itemData(index).toString();
  const auto last = lastDirectory_.find(root);
  const QString target = last != lastDirectory_.end() && QFileInfo(last->second).isDir()
                             ? last->second
                             : root;
  if (!dirList_->OpenDirectory(target)) {
    // Back to the volume the directory list still shows.
    SelectVolumeOf(dirList_->Directory());
  }
}

}  // namespace tovimar::ui
