#include "conditionfile/measured_data.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "format/file_writer.h"
#include "model/errors.h"
#include "results/output_catalogue.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

constexpr const char* kHeader =
    "position along the line (m),web temperature (C),solvent-1 residual ratio\r\n";

TEST(MeasuredData, ColumnTitlesAreTheProfileCsvTitles) {
  for (const MeasuredColumn& c : MeasuredColumns()) {
    const OutputQuantity* q = FindOutput(c.shortName);
    ASSERT_NE(q, nullptr) << c.shortName;
    EXPECT_EQ(ColumnTitle(*q), c.title);
    EXPECT_TRUE(q->Shows(InProfileCsv));
  }
  EXPECT_EQ(ColumnTitle(*FindOutput("Position")), MeasuredPositionTitle);
}

TEST(MeasuredData, ReadsRowsSkippingEmptyCells) {
  const MeasuredData d = ParseMeasuredData(std::string(kHeader) +
                                               "0,25,1\r\n"
                                               "\r\n"
                                               "1.5,,0.75\n"
                                               "2,31.25,\n"
                                               "3,,\n",
                                           "m.csv");
  ASSERT_EQ(d.columns.size(), 2U);
  EXPECT_EQ(d.columns[1], MeasuredQuantity::Residual1);
  ASSERT_EQ(d.values.size(), 4U);
  EXPECT_EQ(d.values[2].position, 1.5);
  EXPECT_EQ(d.values[2].quantity, MeasuredQuantity::Residual1);
  EXPECT_EQ(d.values[2].value, 0.75);
  EXPECT_EQ(d.values[2].line, 4U);
  EXPECT_EQ(d.values[3].value, 31.25);
  EXPECT_EQ(d.Count(MeasuredQuantity::WebTemp), 2U);
  EXPECT_EQ(d.Sd(MeasuredQuantity::WebTemp), 1.0);
  EXPECT_EQ(d.Sd(MeasuredQuantity::Residual2), 0.01);
  EXPECT_EQ(d.Sd(MeasuredQuantity::Weight1), 0.001);
}

TEST(MeasuredData, QuotedHeaderAndColumnOrder) {
  // A byte-order mark before the header, as spreadsheets write one, is skipped.
  const MeasuredData d = ParseMeasuredData(
      "\xEF\xBB\xBF\"solvent-2 weight (kg/m2)\",\"position along the line (m)\"\n0.002,10\n", "q.csv");
  ASSERT_EQ(d.values.size(), 1U);
  EXPECT_EQ(d.values[0].quantity, MeasuredQuantity::Weight2);
  EXPECT_EQ(d.values[0].position, 10);
  EXPECT_EQ(d.values[0].value, 0.002);
}

TEST(MeasuredData, BadFilesNameLineAndColumn) {
  struct Case {
    std::string text;
    std::string message;
  };
  std::vector<Case> cases{
      {"", "m.csv: line 1: the file is empty"},
      {"\n  \n", "m.csv: line 1: the file is empty"},
      {"web temperature (C)\n20\n",
       "m.csv: line 1: the header has no column \"position along the line (m)\""},
      {"position along the line (m)\n1\n", "m.csv: line 1: the header names no measured quantity"},
      {"position along the line (m),temp\n",
       "m.csv: line 1, column 2: unknown column \"temp\" (a measurement file takes \"position along "
       "the line (m)\" and the profile CSV's web temperature, residual ratio and weight columns)"},
      {"position along the line (m),WebTemp\n",
       "m.csv: line 1, column 2: unknown column \"WebTemp\" (a measurement file takes \"position "
       "along the line (m)\" and the profile CSV's web temperature, residual ratio and weight columns)"},
      {"position along the line (m),web temperature (C),web temperature (C)\n",
       "m.csv: line 1, column 3: the column \"web temperature (C)\" appears twice"},
      {"position along the line (m),position along the line (m)\n",
       "m.csv: line 1, column 2: the column \"position along the line (m)\" appears twice"},
      {std::string(kHeader) + "1,20\n", "m.csv: line 2: 2 fields where the header has 3"},
      {std::string(kHeader) + "1,20,0.5,7\n", "m.csv: line 2: 4 fields where the header has 3"},
      {std::string(kHeader) + "0,20,1\n1,2O,0.9\n", "m.csv: line 3, column 2: \"2O\" is not a number"},
      {std::string(kHeader) + "1,20,\"0,5\"\n", "m.csv: line 2, column 3: \"0,5\" is not a number"},
      {std::string(kHeader) + "1,nan,0.5\n", "m.csv: line 2, column 2: \"nan\" is not a number"},
      {std::string(kHeader) + ",20,0.5\n", "m.csv: line 2, column 1: a row with measurements needs a position"},
      {std::string(kHeader) + "-1,20,0.5\n", "m.csv: line 2, column 1: the position -1 is negative"},
      {std::string(kHeader) + "1,\"20,0.5\n", "m.csv: line 2: a quoted field is not closed correctly"},
      {std::string(kHeader) + "1,,\n2,,\n", "m.csv: line 3: the file holds no measurement"},
  };
  // The bound on the number of measurements: one row of two more than it allows.
  std::string many = "position along the line (m),web temperature (C),solvent-1 residual ratio\n";
  for (std::size_t row = 0; row < MaxMeasurements / 2 + 1; ++row) many += "1,2,3\n";
  cases.push_back({many, "m.csv: line " + std::to_string(MaxMeasurements / 2 + 2) + ": more than " +
                             std::to_string(MaxMeasurements) + " measurements"});
  for (const Case& c : cases) {
    try {
      (void)ParseMeasuredData(c.text, "m.csv");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const UserError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Input) << c.text;
      EXPECT_EQ(std::string(e.what()), c.message) << c.text;
    }
  }
}

TEST(MeasuredData, MissingFileIsAFileError) {
  test_support::ScratchDir dir;
  const std::string path = dir.File("absent.csv");
  try {
    (void)ReadMeasuredData(path);
    FAIL() << "read a missing file";
  } catch (const FileError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::File);
    EXPECT_EQ(std::string(e.what()),
              "Measurement file can not open! (\"" + path + "\": No such file or directory)");
    EXPECT_EQ(e.reason(), "No such file or directory");
  }
}

TEST(MeasuredData, ReadsAFile) {
  test_support::ScratchDir dir;
  const std::string path = dir.File("m.csv");
  std::ofstream(path, std::ios::binary) << kHeader << "12.5,40.5,0.5\r\n";
  const MeasuredData d = ReadMeasuredData(path);
  ASSERT_EQ(d.values.size(), 2U);
  EXPECT_EQ(d.values[1].value, 0.5);
}

TEST(MeasuredData, StandardDeviations) {
  MeasuredData d;
  ApplyStandardDeviation(d, "WebTemp=0.2");
  ApplyStandardDeviation(d, "solvent-2 residual ratio=0.002");
  EXPECT_EQ(d.Sd(MeasuredQuantity::WebTemp), 0.2);
  EXPECT_EQ(d.Sd(MeasuredQuantity::Residual2), 0.002);
  struct Case {
    std::string text;
    std::string message;
  };
  const std::vector<Case> bad{
      {"WebTemp", "--sd needs NAME=VALUE, got \"WebTemp\""},
      {"Temp=1", "--sd: no measured quantity named \"Temp\" (WebTemp, Residual1, Residual2, "
                 "Solvent1Weight, Solvent2Weight or their column titles)"},
      {"Residual1=0", "--sd: the standard deviation \"0\" of Residual1 is not a positive number"},
      {"Residual1=-0.1", "--sd: the standard deviation \"-0.1\" of Residual1 is not a positive number"},
      {"Residual1=x", "--sd: the standard deviation \"x\" of Residual1 is not a positive number"},
  };
  for (const Case& c : bad) {
    try {
      ApplyStandardDeviation(d, c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

}  // namespace
}  // namespace tovimar
