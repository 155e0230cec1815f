#include "ui/widgets/directory_list_box.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "ui/widgets/file_list_box.h"

namespace tovimar::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPerLevel = 8;

// Indents each directory by its depth below the root.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.adjust(index.data(kDepthRole).toInt() * kIndentPerLevel, 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += index.data(kDepthRole).toInt() * kIndentPerLevel;
    return size;
  }
};

}  // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setItemDelegate(new IndentDelegate(this));
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { OpenDirectory(item->data(kPathRole).toString()); });
}

void DirectoryListBox::SetFileList(FileListBox* fileList) {
  fileList_ = fileList;
  if (fileList_ != nullptr) {
    fileList_->SetDirectory(directory_);
  }
}

bool DirectoryListBox::OpenDirectory(const QString& directory) {
  const QString path = QDir(directory).absolutePath();
  if (!QDir::setCurrent(path)) {
    emit openFailed(path);
    return false;
  }
  ShowDirectory(QDir::currentPath());
  return true;
}

void DirectoryListBox::ShowDirectory(const QString& directory) {
  directory_ = QDir(directory).absolutePath();
  Fill();
  if (fileList_ != nullptr) {
    fileList_->SetDirectory(directory_);
  }
  emit directoryChanged(directory_);
}

void DirectoryListBox::Fill() {
  clear();
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

  // The chain from the root down to the current directory.
  QStringList chain;
  for (QDir dir(directory_);; ) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) {
      break;
    }
  }
  int depth = 0;
  for (const QString& path : chain) {
    const QString name = QDir(path).isRoot() ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
    auto* item = new QListWidgetItem(openIcon, name, this);
    item->setData(kPathRole, path);
    item->setData(kDepthRole, depth++);
  }
  setCurrentRow(count() - 1);

  // The subdirectories of the current one.
  const QDir current(directory_);
  const QStringList children =
      current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& child : children) {
    auto* item = new QListWidgetItem(closedIcon, child, this);
    item->setData(kPathRole, current.absoluteFilePath(child));
    item->setData(kDepthRole, depth);
  }
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier && currentItem() != nullptr &&
      currentItem()->data(kPathRole).toString() != directory_) {
    OpenDirectory(currentItem()->data(kPathRole).toString());
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

}  // namespace tovimar::ui
