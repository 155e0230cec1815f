#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tovimar::ui {

class BevelPanel;

// The completion dialog: confirms a run that reached its end. Created hidden with the main
// window and shown modally after every completed run; the same instance each time.
class TFinishForm : public QDialog {
 public:
  explicit TFinishForm(QWidget* parent = nullptr);

  BevelPanel* Panel1 = nullptr;
  QLabel* Panel2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* BitBtn1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace tovimar::ui
