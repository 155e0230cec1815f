#include "ui/widgets/help_window.h"

#include <QFile>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/widgets/artwork.h"

namespace tovimar::ui {

QString HelpMarkdown() {
  QFile file(QStringLiteral(":/help/help.md"));
  if (!file.open(QIODevice::ReadOnly)) {
    return QStringLiteral("# Help\n\nThe help text is missing from this build.");
  }
  return QString::fromUtf8(file.readAll());
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Tovimar - Help"));
  setWindowIcon(WindowIcon());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Browser = new QTextBrowser(this);
  Browser->setObjectName(QStringLiteral("HelpBrowser"));
  Browser->setOpenExternalLinks(true);
  Browser->setMarkdown(HelpMarkdown());
  layout->addWidget(Browser);
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
  resize(720, 640);
}

}  // namespace tovimar::ui
