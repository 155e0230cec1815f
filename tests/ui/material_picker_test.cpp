// The material pickers of the General page, and the word a data file load says about the
// fixed constants it leaves alone.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "conditionfile/data_file.h"
#include "input/entry_texts.h"
#include "ui/widgets/material_picker.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

class MaterialPickerTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  // Choosing a solvent fills its read-only constants and its other entries and the LEL; the
  // picker then shows it, and typing another value shows "(as entered)".
  void choosingASolventFillsItsEntries() {
    RecordedForm r;
    QComboBox* picker = r.form->findChild<QComboBox*>(QStringLiteral("MaterialPicker_Solvent1"));
    QVERIFY(picker != nullptr);
    QCOMPARE(picker->currentText(), QStringLiteral("(as entered)"));
    const int ethylAcetate = picker->findData(QStringLiteral("ethyl-acetate"));
    QVERIFY(ethylAcetate > 0);
    const int pgmea = picker->findData(QStringLiteral("propylene-glycol-methyl-ether-acetate"));
    QVERIFY(pgmea > 0);
    QCOMPARE(picker->itemText(pgmea), QStringLiteral("Propylene glycol methyl ether acetate (estimated properties)"));
    QCOMPARE(picker->itemText(picker->count() - 1), QStringLiteral("Custom..."));
    picker->setCurrentIndex(ethylAcetate);
    emit picker->activated(ethylAcetate);
    QCOMPARE(r.form->Entry("Edit224")->text(), QStringLiteral("7.00871"));
    QVERIFY(!r.form->Entry("Edit224")->isEnabled());
    QCOMPARE(r.form->Entry("Edit222")->text(), QStringLiteral("404.1"));
    QCOMPARE(r.form->Entry("Edit228")->text(), QStringLiteral("88.106"));
    QCOMPARE(r.form->Line().LEL1, 2.0);
    QCOMPARE(r.form->Pickers().Chosen(MaterialSlot::Solvent1), std::string("ethyl-acetate"));
    QCOMPARE(picker->currentText(), QStringLiteral("Ethyl acetate"));
    QCOMPARE(r.form->Line().Solvent1, std::string("ethyl-acetate"));
    // A value typed over stays with the name, for the line file.
    r.form->Entry("Edit227")->setText(QStringLiteral("0.9"));
    QCOMPARE(picker->currentText(), QStringLiteral("Ethyl acetate"));
    QCOMPARE(r.form->Line().Solvent1, std::string("ethyl-acetate"));
    using Overrides = std::vector<std::pair<std::string, std::string>>;
    QCOMPARE(r.form->Line().MaterialOverrides, (Overrides{{"Solvent1Density", "0.9"}}));
    // "(as entered)" names none; picking again starts from the library's values.
    emit picker->activated(0);
    QCOMPARE(r.form->Line().Solvent1, std::string());
    QCOMPARE(picker->currentText(), QStringLiteral("(as entered)"));
    QVERIFY(r.form->Line().MaterialOverrides.empty());
    QVERIFY(r.dialogs->messages.empty());
  }

  // Toluene with polystyrene sets the diffusion model's free-volume and pair values and chi.
  void choosingMaterialsSetsTheirDiffusionValues() {
    RecordedForm r;
    QVERIFY(r.form->Pickers().Pick(MaterialSlot::Solvent1, "toluene"));
    QVERIFY(r.form->Pickers().Pick(MaterialSlot::Polymer, "polystyrene"));
    const DiffusionModelParameters& p = r.form->Line().Model.diffusion;
    QCOMPARE(p.Xi1, 0.58);
    QCOMPARE(p.HoleVolumePolymer, 0.85);
    QCOMPARE(r.form->Entry("Edit206")->text(), QStringLiteral("0.354"));
    QCOMPARE(r.form->Line().Polymer, std::string("polystyrene"));
  }

  // What the library lacks keeps the value in use and says so where the run uses it: the
  // free-volume parameters only with the diffusion model.
  void aPickSaysWhichValuesItKeeps() {
    const struct {
      const char* model;
      MaterialSlot slot;
      const char* key;
      QString message;  // none expected when empty
    } cases[] = {
        {"lumped", MaterialSlot::Solvent1, "methyl-ethyl-ketone", {}},
        {"diffusion", MaterialSlot::Solvent1, "methyl-ethyl-ketone",
         QStringLiteral("Warning: methyl-ethyl-ketone has no free-volume parameter for Solvent-1 in the materials "
                        "library: HoleVolume1, K1Gamma1, K2MinusTg1 keep the values in use.")},
        {"lumped", MaterialSlot::Polymer, "polystyrene",
         QStringLiteral("Warning: polystyrene has no specific heat in the materials library: Specific Heat of "
                        "Polymer keeps the value in use.\n\nWarning: polystyrene has no molar mass in the "
                        "materials library: Molecular Weight of Polymer keeps the value in use.")},
    };
    for (const auto& c : cases) {
      RecordedForm r;
      r.form->Line().Model.name = c.model;
      QVERIFY(r.form->Pickers().Pick(c.slot, c.key));
      QCOMPARE(r.dialogs->messages.size(), std::size_t{c.message.isEmpty() ? 0U : 1U});
      if (!c.message.isEmpty()) QCOMPARE(r.dialogs->messages[0], c.message);
    }
  }

  // A data file whose constants differ keeps the window's and says so, naming the solvent
  // whose constants they are.
  void loadingOtherConstantsWarns() {
    TempCurrentDir dir;
    MapEntryTexts file;
    file.ForceText("Edit234", "6.92553");
    file.ForceText("Edit235", "1327.62");
    file.ForceText("Edit236", "217.625");
    WriteDataFile(dir.FilePath(QStringLiteral("d.txt")).toStdString(), file);
    RecordedForm r;
    QVERIFY(r.form->LoadDataFileFrom(dir.FilePath(QStringLiteral("d.txt"))));
    QCOMPARE(r.form->Entry("Edit234")->text(), QStringLiteral("6.95464"));
    QCOMPARE(r.dialogs->messages.size(), std::size_t{1});
    QVERIFY2(r.dialogs->messages[0].startsWith(
                 QStringLiteral("Warning: the data file's Vapor Pressure Parameter A of Solvent-2 (6.92553) differs "
                                "from the one in use (6.95464); choose the solvent to use other constants: the data "
                                "file's vapour-pressure constants of Solvent-2 are those of Toluene (library key "
                                "toluene).\n\nWarning: the data file's Vapor Pressure Parameter B")),
             qPrintable(r.dialogs->messages[0]));
  }
};

QTEST_MAIN(MaterialPickerTest)
#include "material_picker_test.moc"
