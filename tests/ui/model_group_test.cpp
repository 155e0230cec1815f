// The Line page's "Model" group: a control for every setting of the line file's "Model"
// object, each reading and writing its member of the line settings; a refused value is
// reported as the Line page's entries are; the window's runs take the model chosen.
#include <functional>

#include <QComboBox>
#include <QTableWidget>
#include <QTest>

#include "conditionfile/line_file.h"
#include "input/line_catalogue.h"
#include "ui/widgets/line_page.h"
#include "ui/widgets/model_group.h"
#include "ui/widgets/profile_page.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

struct ModelForm {
  ModelForm() {
    profile = ProfilePage::AttachTo(*recorded.form);
    page = LinePage::AttachTo(*recorded.form)->Model;
  }
  LineSettings& Settings() { return recorded.form->Line(); }
  void Choose(const QString& name) {
    const int index = page->ModelChoice->findText(name);
    page->ModelChoice->setCurrentIndex(index);
    emit page->ModelChoice->activated(index);
  }
  // Edits the cell of setting `name` as the user does.
  void Type(const std::string& name, const QString& text) { page->Cell(name)->setText(text); }
  QString Shown(const std::string& name) const { return page->Cell(name)->text(); }
  RecordedForm recorded;
  ProfilePage* profile = nullptr;
  ModelGroup* page = nullptr;
};

using Member = std::function<double&(LineSettings&)>;

}  // namespace

class ModelGroupTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  // Every row of the catalogue's "Model" object has its control on the page.
  void everyModelSettingHasAControl() {
    ModelForm f;
    int controls = 0;
    for (const LineSetting& setting : LineSettingCatalogue()) {
      if (setting.object != "Model") continue;
      const bool found = setting.type == LineSettingType::Text
                             ? f.page->ModelChoice->count() == static_cast<int>(setting.choices.size())
                             : f.page->Cell(setting.name) != nullptr;
      QVERIFY2(found, setting.name.c_str());
      ++controls;
    }
    QCOMPARE(controls, 1 + 16 + 2 * MaxZones);  // the choice, the numbers, two per zone
    QVERIFY(f.page->Cell("WebWidth") == nullptr);
  }

  // Each control writes its member when typed into and shows it again when the settings
  // are replaced (a line file or a session loaded).
  void eachControlReadsAndWritesItsSetting() {
    struct Row {
      std::string name;
      QString typed;
      Member member;
      double written;
    };
    auto diffusion = [](auto field) {
      return [field](LineSettings& s) -> double& { return s.Model.diffusion.*field; };
    };
    using P = DiffusionModelParameters;
    const Row rows[] = {
        {"D0_1", "3.5e-4", diffusion(&P::D0_1), 3.5e-4},
        {"D0_2", "0.0012", diffusion(&P::D0_2), 0.0012},
        {"ActivationEnergy1", "12000", diffusion(&P::ActivationEnergy1), 12000},
        {"ActivationEnergy2", "0", diffusion(&P::ActivationEnergy2), 0},
        {"HoleVolume1", "0.95", diffusion(&P::HoleVolume1), 0.95},
        {"HoleVolume2", "0.88", diffusion(&P::HoleVolume2), 0.88},
        {"K1Gamma1", "0.0021", diffusion(&P::K1Gamma1), 0.0021},
        {"K1Gamma2", "0.0016", diffusion(&P::K1Gamma2), 0.0016},
        {"K2MinusTg1", "-45.5", diffusion(&P::K2MinusTg1), -45.5},
        {"K2MinusTg2", "-80", diffusion(&P::K2MinusTg2), -80},
        {"Xi1", "0.62", diffusion(&P::Xi1), 0.62},
        {"Xi2", "0.71", diffusion(&P::Xi2), 0.71},
        {"HoleVolumePolymer", "0.77", diffusion(&P::HoleVolumePolymer), 0.77},
        {"K1GammaPolymer", "0.00052", diffusion(&P::K1GammaPolymer), 0.00052},
        {"K2MinusTgPolymer", "-300", diffusion(&P::K2MinusTgPolymer), -300},
        {"ZoneMassTransferCoef1[1]", "0.031", [](LineSettings& s) -> double& {
           return s.Model.diffusion.ZoneMassTransferCoef1[1]; }, 0.031},
        {"ZoneMassTransferCoef2[14]", "0.052", [](LineSettings& s) -> double& {
           return s.Model.diffusion.ZoneMassTransferCoef2[14]; }, 0.052},
    };
    ModelForm f;
    f.Choose(QStringLiteral("diffusion"));
    for (const Row& row : rows) {
      const double before = row.member(f.Settings());
      QCOMPARE(f.Shown(row.name), QString::fromStdString(LineSettingText(*FindLineSetting(row.name), f.Settings())));
      f.Type(row.name, row.typed);
      QVERIFY2(row.member(f.Settings()) == row.written, row.name.c_str());
      // Read: the settings replaced as a whole show in the control.
      LineSettings loaded = f.Settings();
      row.member(loaded) = before;
      f.Settings() = loaded;
      emit f.recorded.form->LineSettingsLoaded();
      QCOMPARE(f.Shown(row.name), QString::fromStdString(LineSettingText(*FindLineSetting(row.name), loaded)));
    }
    // The cell count is whole; the choice greys the parameters out for the lumped model.
    f.Type("DiffusionCells", QStringLiteral("80"));
    QCOMPARE(f.Settings().Model.diffusion.DiffusionCells, 80);
    QVERIFY(f.page->Parameters->isEnabled());
    f.Choose(QStringLiteral("lumped"));
    QCOMPARE(f.Settings().Model.name, std::string("lumped"));
    QVERIFY(!f.page->Parameters->isEnabled());
    f.Settings().Model.name = "diffusion";
    emit f.recorded.form->LineSettingsLoaded();
    QCOMPARE(f.page->ModelChoice->currentText(), QStringLiteral("diffusion"));
    QVERIFY(f.recorded.dialogs->messages.empty());
  }

  // A value out of range is refused with the Line page's message; the setting stays.
  void refusedValueIsReported() {
    ModelForm f;
    f.Choose(QStringLiteral("diffusion"));
    const double before = f.Settings().Model.diffusion.Xi1;
    f.Type("Xi1", QStringLiteral("20"));
    QCOMPARE(f.Settings().Model.diffusion.Xi1, before);
    QCOMPARE(f.Shown("Xi1"), QString::fromStdString(LineSettingText(*FindLineSetting("Xi1"), f.Settings())));
    QCOMPARE(f.recorded.dialogs->messages.size(), std::size_t{1});
    QCOMPARE(f.recorded.dialogs->messages[0],
             QStringLiteral("Solvent-1's jumping unit over the polymer's (xi): \"20\" is not accepted; the setting "
                            "stays %1.\n\"Xi1\" must be at most 10.")
                 .arg(f.Shown("Xi1")));
    f.Type("ZoneMassTransferCoef1[2]", QStringLiteral("-0.1"));
    QCOMPARE(f.Shown("ZoneMassTransferCoef1[2]"), QStringLiteral("0"));
    QCOMPARE(f.recorded.dialogs->messages.size(), std::size_t{2});
  }

  // The window's run takes the model the page chose.
  void runTakesTheChosenModel() {
    TempCurrentDir dir;
    ModelForm f;
    f.Choose(QStringLiteral("diffusion"));
    f.recorded.form->BitBtn1Click();
    QVERIFY(f.profile->IsCurrent());
    QCOMPARE(f.profile->Results().model, std::string("diffusion"));
    f.Choose(QStringLiteral("lumped"));
    f.recorded.form->BitBtn1Click();
    QCOMPARE(f.profile->Results().model, std::string("lumped"));
  }
};

QTEST_MAIN(ModelGroupTest)
#include "model_group_test.moc"
