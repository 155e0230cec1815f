#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tovimar::ui {

// The help text: docs/help.md, built into the program as a resource.
QString HelpMarkdown();

// A window that shows the help text: the model, its assumptions and what its outputs mean.
class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  QTextBrowser* Browser = nullptr;
};

}  // namespace tovimar::ui
