#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace tovimar::ui {

// Asks the name under which a run is pinned. The real one is a modal input dialog; tests
// substitute one that answers at once.
class RunNameDialog {
 public:
  virtual ~RunNameDialog() = default;
  // The name the user gave, starting from `proposed`; none when cancelled.
  virtual std::optional<QString> AskRunName(QWidget* parent, const QString& proposed) = 0;
};

class ModalRunNameDialog : public RunNameDialog {
 public:
  std::optional<QString> AskRunName(QWidget* parent, const QString& proposed) override;
};

}  // namespace tovimar::ui
