#pragma once

#include <QFrame>

namespace tovimar::ui {

// A panel with two one-pixel bevels, an outer and an inner one, each raised or lowered
// (the picture frame of the main window, the background of the completion dialog).
class BevelPanel : public QFrame {
 public:
  enum class Bevel { None, Raised, Lowered };

  BevelPanel(Bevel outer, Bevel inner, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Bevel outer_;
  Bevel inner_;
};

}  // namespace tovimar::ui
