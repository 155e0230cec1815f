#include "support/recorded.h"
#include "conditionfile/condition_section.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "input/field_catalogue.h"
#include "format/fixed_format.h"
#include "support/scratch_dir.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

using test_support::DefaultConditions;
using test_support::FileBytes;
using test_support::ScratchDir;

// The file's lines without their CR LF; fails the test on a line end that is not CR LF.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end in CR LF: \"" << text.substr(start) << "\"";
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line end in: " << line;
  }
  return lines;
}

// A value line as the file shows it: indent, label (file bytes), spaces so that "=" stands
// in byte column `equalsColumn` (from 1), "=", two spaces and the value.
std::string ValueLine(int indent, const std::string& labelBytes, int equalsColumn,
                      const std::string& value) {
  std::string line(static_cast<std::size_t>(indent), ' ');
  line += labelBytes;
  line += std::string(static_cast<std::size_t>(equalsColumn - 1) - line.size(), ' ');
  return line + "=  " + value;
}

std::string P(const std::string& label, const std::string& value) {
  return ValueLine(4, label, 56, value);  // property and fitting lines
}
std::string Z(const std::string& label, const std::string& value) {
  return ValueLine(5, label, 56, value);  // accuracy and zone lines
}

// The head of the section for the window's defaults, line by line. Labels carry the file's
// bytes for the degree-Celsius sign (0x81 0x8E) and chi (0x83 0xD4).
const std::vector<std::string>& ExpectedDefaultHead() {
  static const std::vector<std::string> lines{
      /* 1 */ "===================",
      /* 2 */ "PHISICAL PROPERTIES",
      /* 3 */ "===================",
      /* 4 */ "",
      /* 5 */ "  SOLID (POLYMER)",
      /* 6 */ "  ---------------",
      /* 7 */ ValueLine(4, "Specific Heat of Polymer (kJ/kg.K)", 55, "1.470"),
      /* 8 */ ValueLine(4, "Density of Polymer (g/cm3)", 55, "1.400"),
      /* 9 */ ValueLine(4, "Molecular Weight of Polymer", 55, "30000.0"),
      /* 10 */ "",
      /* 11 */ "  SOLVENT-1",
      /* 12 */ "  ---------",
      /* 13 */ P("Specific Heat of Solvent-1 (kJ/kg.K)", "2.300"),
      /* 14 */ P("Heat of Vaporization of Solvent-1 (kJ/kg)", "460.00"),
      /* 15 */ P("Diffusion Coefficient of Solvent-1 in Air (m2/s)", "0.000009030"),
      /* 16 */ P("Vapor Pressure Parameter A of Solvent-1", "6.384690"),
      /* 17 */ P("Vapor Pressure Parameter B of Solvent-1", "916.010"),
      /* 18 */ P("Vapor Pressure Parameter C of Solvent-1", "181.840"),
      /* 19 */ P("Density of Solvent-1 (g/cm3)", "0.806"),
      /* 20 */ P("Molecular Weight of Solvent-1", "72.10"),
      /* 21 */ "",
      /* 22 */ "  SOLVENT-2",
      /* 23 */ "  ---------",
      /* 24 */ P("Specific Heat of Solvent-2 (kJ/kg.K)", "1.800"),
      /* 25 */ P("Heat of Vaporization of Solvent-2 (kJ/kg)", "398.00"),
      /* 26 */ P("Diffusion Coefficient of Solvent-2 in Air (m2/s)", "0.000008490"),
      /* 27 */ P("Vapor Pressure Parameter A of Solvent-2", "6.954640"),
      /* 28 */ P("Vapor Pressure Parameter B of Solvent-2", "1344.800"),
      /* 29 */ P("Vapor Pressure Parameter C of Solvent-2", "219.482"),
      /* 30 */ P("Density of Solvent-2 (g/cm3)", "0.866"),
      /* 31 */ P("Molecular Weight of Solvent-2", "92.10"),
      /* 32 */ "",
      /* 33 */ "  BASE FILM",
      /* 34 */ "  ---------",
      /* 35 */ P("Specific Heat of Base Film (kJ/kg.K)", "1.260"),
      /* 36 */ "",
      /* 37 */ "",
      /* 38 */ "==================",
      /* 39 */ "FITTING PARAMETERS",
      /* 40 */ "==================",
      /* 41 */ P("Drying Speed Correction Factor Wi", "0.30"),
      /* 42 */ P("Drying Speed Correction Factor We", "0.10"),
      /* 43 */ P("Drying Speed Correction Factor Wx", "0.20"),
      /* 44 */ P("Drying Speed Correction Factor Wy", "0.50"),
      /* 45 */ P("Dryer Efficiency Parameter Keff", "1.50"),
      /* 46 */ P("Interaction Parameter \x83\xD4" "1p", "0.010"),
      /* 47 */ P("Interaction Parameter \x83\xD4" "2p", "0.500"),
      /* 48 */ P("Interaction Parameter \x83\xD4" "12", "0.500"),
      /* 49 */ "",
      /* 50 */ "",
      /* 51 */ "====================",
      /* 52 */ "CALCULATION ACCURACY",
      /* 53 */ "====================",
      /* 54 */ Z("Increment of z (m)", "0.10000"),
      /* 55 */ "",
      /* 56 */ "",
      /* 57 */ "===================",
      /* 58 */ "OPERATING CONDITION",
      /* 59 */ "===================",
      /* 60 */ "",
      /* 61 */ "  -------",
      /* 62 */ "  ZONE 1",
      /* 63 */ "  -------",
      /* 64 */ Z("Initial  Coating Weight (kg/m2)", "0.069500"),
      /* 65 */ Z("Base Film Weight (kg/m2)", "0.068500"),
      /* 66 */ Z("Initial Solid Weight Ratio", "0.180"),
      /* 67 */ Z("Initial Solvent-1 Weight Ratio", "0.600"),
      /* 68 */ Z("Initial Solvent-2 Weight Ratio", "0.220"),
      /* 69 */ Z("Speed (m/s)", "1.000"),
      /* 70 */ Z("Initial Temperature (\x81\x8E)", "15.00"),
      /* 71 */ Z("Outer Temperature (\x81\x8E)", "60.00"),
      /* 72 */ Z("Zone Length (m)", "30.00"),
      /* 73 */ Z("Solvent-1 Absolute Humidity", "0.000000"),
      /* 74 */ Z("Solvent-2 Absolute Humidity", "0.000000"),
      /* 75 */ Z("Heat Trans. Coeff. - Upper (kJ/m2.s.K)", "0.02200"),
      /* 76 */ Z("Heat Trans. Coeff. - Lower (kJ/m2.s.K)", "0.05500"),
      /* 77 */ "",
      /* 78 */ "",
  };
  return lines;
}

// The block of zone 2 for the window's defaults.
const std::vector<std::string>& ExpectedDefaultZone2() {
  static const std::vector<std::string> lines{
      /* 1 */ "",
      /* 2 */ "  -------",
      /* 3 */ "  ZONE 2",
      /* 4 */ "  -------",
      /* 5 */ Z("Outer Temperature (\x81\x8E)", "60.00"),
      /* 6 */ Z("Zone Length (m)", "30.00"),
      /* 7 */ Z("Solvent-1 Absolute Humidity", "0.000000"),
      /* 8 */ Z("Solvent-2 Absolute Humidity", "0.000000"),
      /* 9 */ Z("Heat Trans. Coeff. - Upper (kJ/m2.s.K)", "0.02200"),
      /* 10 */ Z("Heat Trans. Coeff. - Lower (kJ/m2.s.K)", "0.05500"),
      /* 11 */ "",
      /* 12 */ "",
  };
  return lines;
}

void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
  }
}

TEST(ConditionSection, HeadOfTheDefaultsLineByLine) {
  const std::string text = FormatConditionSection(DefaultConditions());
  const std::vector<std::string> lines = SplitLines(text);
  EXPECT_EQ(lines.size(), 78U);
  ExpectLines(lines, ExpectedDefaultHead());
}

TEST(ConditionSection, ZoneBlockOfTheDefaultsLineByLine) {
  const std::vector<std::string> lines = SplitLines(FormatZoneSection(DefaultConditions(), 2));
  EXPECT_EQ(lines.size(), 12U);
  ExpectLines(lines, ExpectedDefaultZone2());
}

// The "=" stands in byte column 56 (55 for the polymer lines) and the value starts right
// after "=  ": the label field is 58 bytes (57), also where a label holds a two-byte
// character.
TEST(ConditionSection, EqualsColumnAndLabelFieldOfEveryValueLine) {
  const std::string text = FormatConditionSection(DefaultConditions());
  const std::vector<std::string> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 78U);
  int valueLines = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || line.find_first_not_of('=') == std::string::npos) {
      continue;  // not a value line (empty, header or rule)
    }
    ++valueLines;
    const bool polymer = i + 1 >= 7 && i + 1 <= 9;
    const std::size_t column = polymer ? 55 : 56;
    EXPECT_EQ(equals + 1, column) << "line " << i + 1 << ": " << line;
    EXPECT_EQ(line.substr(equals, 3), "=  ") << "line " << i + 1;
    EXPECT_NE(line[column + 2], ' ') << "line " << i + 1 << ": the value follows at once";
    EXPECT_NE(line.back(), ' ') << "line " << i + 1;
  }
  // 3 + 8 + 8 + 1 properties, 8 fitting parameters, 1 accuracy, 7 + 6 of zone 1.
  EXPECT_EQ(valueLines, 42);
}

// Only the two code-page-932 pairs are non-ASCII, and only in labels.
TEST(ConditionSection, OnlyTheTwoMappedCharactersAreNotAscii) {
  const std::string text = FormatConditionSection(DefaultConditions());
  int celsius = 0;
  int chi = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      continue;
    }
    ASSERT_LT(i + 1, text.size());
    const std::string pair = text.substr(i, 2);
    if (pair == "\x81\x8E") {
      ++celsius;
    } else if (pair == "\x83\xD4") {
      ++chi;
    } else {
      ADD_FAILURE() << "unexpected byte " << static_cast<int>(byte) << " at " << i;
    }
    ++i;
  }
  EXPECT_EQ(celsius, 2);  // Initial and Outer Temperature
  EXPECT_EQ(chi, 3);      // the three interaction parameters
}

TEST(ConditionSection, LabelBytesMapsTheTwoCharactersAndRefusesOthers) {
  EXPECT_EQ(LabelBytes("Outer Temperature (\u2103)"), "Outer Temperature (\x81\x8E)");
  EXPECT_EQ(LabelBytes("Interaction Parameter \u03C712"), "Interaction Parameter \x83\xD4" "12");
  EXPECT_EQ(LabelBytes("\u2103\u03C7"), "\x81\x8E\x83\xD4");
  EXPECT_EQ(LabelBytes("Speed (m/s)"), "Speed (m/s)");
  EXPECT_EQ(LabelBytes(""), "");
  EXPECT_THROW(LabelBytes("Caf\u00E9"), std::logic_error);
  EXPECT_THROW(LabelBytes("\xE2\x84"), std::logic_error);  // a cut-off sequence
}

// Every label of the catalogue fits before its "=" with at least one space.
TEST(ConditionSection, EveryCatalogueLabelFitsItsColumn) {
  for (const ConditionField& field : ConditionFields()) {
    const std::string line = FormatValueLine(field, "1.0");
    const std::size_t labelEnd =
        static_cast<std::size_t>(field.labelIndent) + LabelBytes(field.label).size();
    EXPECT_LT(labelEnd, static_cast<std::size_t>(field.equalsColumn - 1)) << field.fieldName;
    EXPECT_EQ(line.find('='), static_cast<std::size_t>(field.equalsColumn - 1)) << field.fieldName;
    EXPECT_EQ(line.size(), static_cast<std::size_t>(field.equalsColumn + 2) + 3) << field.fieldName;
  }
}

TEST(ConditionSection, ValueLineOfALabelTooLongForItsColumnKeepsOneSpace) {
  ConditionField field;
  field.label = std::string(60, 'L');
  field.labelIndent = 4;
  field.equalsColumn = 56;
  EXPECT_EQ(FormatValueLine(field, "7.00"), "    " + std::string(60, 'L') + " =  7.00");
}

struct ValueCase {
  const char* fieldName;
  double value;
  int line;  // 1-based line of the head
  const char* text;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
  *os << c.fieldName << " = " << c.value << " -> \"" << c.text << "\"";
}

class HeadValue : public ::testing::TestWithParam<ValueCase> {};

// A value is rounded to P digits and padded to D decimals, or switches to the exponent
// form; the line keeps its label field.
TEST_P(HeadValue, IsWrittenWithTheFieldsFormat) {
  const ValueCase& c = GetParam();
  DryingConditions conditions = DefaultConditions();
  const ConditionField* field = FindField(c.fieldName);
  ASSERT_NE(field, nullptr);
  field->Value(conditions) = c.value;
  const std::vector<std::string> lines = SplitLines(FormatConditionSection(conditions));
  ASSERT_EQ(lines.size(), 78U);
  const std::string& line = lines[static_cast<std::size_t>(c.line - 1)];
  const std::size_t valueStart = static_cast<std::size_t>(field->equalsColumn) + 2;
  EXPECT_EQ(line.substr(valueStart), c.text) << line;
  // Everything else is as for the defaults.
  const std::vector<std::string>& expected = ExpectedDefaultHead();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (static_cast<int>(i) + 1 != c.line) {
      EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, HeadValue,
    ::testing::Values(ValueCase{"PolymerCp", 12.3456, 7, "12.350"},
                      ValueCase{"PolymerCp", 12345.678, 7, "1.235E004"},
                      ValueCase{"PolymerCp", 0.0004, 7, "0.000"},
                      ValueCase{"PolymerCp", -0.0004, 7, "0.000"},
                      ValueCase{"PolymerMolWeight", 123456789, 9, "1.2345679E8"},
                      ValueCase{"AirDiffusivity1", 0.0000090349, 15, "0.000009035"},
                      ValueCase{"Chi1p", -0.25, 46, "-0.250"},
                      ValueCase{"StepLength", 0.05, 54, "0.05000"},
                      ValueCase{"InitialTemp", -5, 70, "-5.00"},
                      ValueCase{"ZoneAirTemp[1]", 123.456, 71, "123.46"},
                      ValueCase{"ZoneHeatCoefLower[1]", 0.0000049, 76, "0.00000"}));

// Zones 2 to 14: the header names the zone (two digits from 10 on, rules of 7 dashes), and
// the values are the zone arrays at that zone.
TEST(ConditionSection, ZoneBlocksOfEveryZone) {
  DryingConditions c = DefaultConditions();
  for (int k = 2; k <= MaxZones; ++k) {
    c.ZoneAirTemp[k] = 100 + k;
    c.ZoneLength[k] = 0.5 * k;
    c.ZoneHumidity1[k] = 0.001 * k;
    c.ZoneHumidity2[k] = 0.0001 * k;
    c.ZoneHeatCoefUpper[k] = 0.01 * k;
    c.ZoneHeatCoefLower[k] = 0.02 * k;
  }
  for (int k = 2; k <= MaxZones; ++k) {
    SCOPED_TRACE("zone " + std::to_string(k));
    const std::vector<std::string> lines = SplitLines(FormatZoneSection(c, k));
    ASSERT_EQ(lines.size(), 12U);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "  -------");
    EXPECT_EQ(lines[2], "  ZONE " + std::to_string(k));
    EXPECT_EQ(lines[3], "  -------");
    EXPECT_EQ(lines[4], Z("Outer Temperature (\x81\x8E)", std::to_string(100 + k) + ".00"));
    EXPECT_EQ(lines[5], Z("Zone Length (m)", FixedFormat(0.5 * k, 6, 2)));
    EXPECT_EQ(lines[6], Z("Solvent-1 Absolute Humidity", FixedFormat(0.001 * k, 8, 6)));
    EXPECT_EQ(lines[7], Z("Solvent-2 Absolute Humidity", FixedFormat(0.0001 * k, 8, 6)));
    EXPECT_EQ(lines[8], Z("Heat Trans. Coeff. - Upper (kJ/m2.s.K)", FixedFormat(0.01 * k, 7, 5)));
    EXPECT_EQ(lines[9], Z("Heat Trans. Coeff. - Lower (kJ/m2.s.K)", FixedFormat(0.02 * k, 7, 5)));
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], "");
  }
  EXPECT_EQ(SplitLines(FormatZoneSection(c, 14))[2], "  ZONE 14");
  EXPECT_EQ(SplitLines(FormatZoneSection(c, 10))[5], Z("Zone Length (m)", "5.00"));
}

TEST(ConditionSection, ZoneBlockOutsideZones2To14IsRefused) {
  const DryingConditions c = DefaultConditions();
  EXPECT_THROW(FormatZoneSection(c, 1), std::out_of_range);
  EXPECT_THROW(FormatZoneSection(c, 0), std::out_of_range);
  EXPECT_THROW(FormatZoneSection(c, 15), std::out_of_range);
}

TEST(ConditionSection, WriteCreatesAfreshAndAppendsZoneBlocks) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  {
    // An older, longer file of the same name is replaced, not appended to.
    std::ofstream old(path, std::ios::binary);
    old << std::string(10000, 'x');
  }
  const DryingConditions c = DefaultConditions();
  const ResultFile file(path);
  RecordedMessages messages;
  ASSERT_TRUE(WriteConditionSection(c, file, messages));
  EXPECT_EQ(FileBytes(path), FormatConditionSection(c));
  ASSERT_TRUE(WriteZoneSection(c, file, messages, 2));
  EXPECT_EQ(FileBytes(path), FormatConditionSection(c) + FormatZoneSection(c, 2));
  EXPECT_TRUE(messages.messages.empty());
}

TEST(ConditionSection, FileThatCannotBeCreatedGivesTheMessageAndNoFile) {
  ScratchDir dir;
  const std::string path = (dir.path() / "missing" / "result.txt").string();
  const ResultFile file(path);
  RecordedMessages messages;
  EXPECT_FALSE(WriteConditionSection(DefaultConditions(), file, messages));
  EXPECT_EQ(messages.messages, std::vector<std::string>{"File can not open!"});
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ConditionSection, ZoneBlockForADeletedFileGivesTheMessageAndDoesNotCreateIt) {
  ScratchDir dir;
  const std::string path = dir.File("result.txt");
  const DryingConditions c = DefaultConditions();
  const ResultFile file(path);
  RecordedMessages messages;
  ASSERT_TRUE(WriteConditionSection(c, file, messages));
  std::filesystem::remove(path);
  EXPECT_FALSE(WriteZoneSection(c, file, messages, 2));
  EXPECT_EQ(messages.messages, std::vector<std::string>{"File can not open!"});
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ConditionSection, EmptyFileNameWritesNothingAnywhere) {
  ScratchDir dir;
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const ResultFile file("");
  RecordedMessages messages;
  const DryingConditions c = DefaultConditions();
  EXPECT_FALSE(WriteConditionSection(c, file, messages));
  EXPECT_FALSE(WriteZoneSection(c, file, messages, 2));
  std::filesystem::current_path(before);
  EXPECT_EQ(messages.messages,
            (std::vector<std::string>{"File can not open!", "File can not open!"}));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace tovimar
