// Reading a design: its header, its records, and the designs that cannot be run as they stand.
#include "study/design.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "conditionfile/line_file.h"
#include "conditionfile/material_library.h"
#include "input/field_catalogue.h"

namespace tovimar {
namespace {

struct Read {
  std::vector<std::string> columns;   // "name>entry" ("LEL1>" for a line setting)
  std::vector<std::vector<std::string>> records;
  std::string error;                  // the message of a refusal, prefixed with its kind
};

Read ReadDesign(const std::string& text, std::size_t maxLength = MaxInputLineLength) {
  Read read;
  TextSource source(text);
  try {
    DesignReader design(source, "d.csv", maxLength);
    for (const SettingName& column : design.Columns()) {
      read.columns.push_back(column.name + ">" + column.entryName);
    }
    std::vector<std::string> fields;
    while (design.Next(fields)) {
      read.records.push_back(fields);
      EXPECT_EQ(design.RecordNumber(), read.records.size() + 1);
    }
  } catch (const DesignError& e) {
    read.error = std::string("design: ") + e.what();
  } catch (const FileError& e) {
    read.error = std::string("file: ") + e.what();
  }
  return read;
}

using Records = std::vector<std::vector<std::string>>;

TEST(DesignReader, ReadsHeaderAndRecords) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> columns;
    Records records;
  } cases[] = {
      {"names of every kind", "LineSpeed,Edit8,ResultFileName,LEL1\n1,2,r.txt,1.4\n",
       {"LineSpeed>Edit6", "Edit8>Edit8", "ResultFileName>Edit250", "LEL1>"}, {{"1", "2", "r.txt", "1.4"}}},
      {"CR LF, no final line end", "LineSpeed,Edit8\r\n1,2\r\n3,4", {"LineSpeed>Edit6", "Edit8>Edit8"},
       {{"1", "2"}, {"3", "4"}}},
      {"a byte-order mark before the header", "\xEF\xBB\xBFLineSpeed\n1\n", {"LineSpeed>Edit6"}, {{"1"}}},
      {"quoted fields over a line break", "LineSpeed,Edit8\n\"1\",\"a,\"\"b\"\"\r\nc\"\n",
       {"LineSpeed>Edit6", "Edit8>Edit8"}, {{"1", "a,\"b\"\r\nc"}}},
      {"empty lines at the end are no runs", "LineSpeed\n1\n\n\r\n\n", {"LineSpeed>Edit6"}, {{"1"}}},
      {"an empty line before a record is one", "LineSpeed\n1\n\n2\n", {"LineSpeed>Edit6"},
       {{"1"}, {""}, {"2"}}},
      {"a quoted empty field is a run", "LineSpeed\n\"\"\n", {"LineSpeed>Edit6"}, {{""}}},
      {"a header alone", "LineSpeed\n", {"LineSpeed>Edit6"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Read read = ReadDesign(c.text);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.columns, c.columns);
    EXPECT_EQ(read.records, c.records);
  }
}

TEST(DesignReader, RefusesWhatCannotBeRun) {
  const struct {
    const char* name;
    std::string text;
    std::string error;
    Records before;  // the records given out before the refusal
  } cases[] = {
      {"empty", "", "design: the design has no header record", {}},
      {"unknown name", "LineSpeed,Speed\n",
       "design: no entry or field named \"Speed\" (tovimar-batch --list-names lists every name)", {}},
      {"repeated column", "LineSpeed,Edit8,LineSpeed\n1,2,3\n",
       "design: the header holds the column \"LineSpeed\" twice", {}},
      {"repeated line setting", "LEL1,LEL1\n1,2\n", "design: the header holds the column \"LEL1\" twice", {}},
      {"two names of one entry", "Edit6,LineSpeed\n1,2\n",
       "design: the header's columns \"Edit6\" and \"LineSpeed\" both set Edit6", {}},
      {"two names of the Save File Name", "Edit250,ResultFileName\na,b\n",
       "design: the header's columns \"Edit250\" and \"ResultFileName\" both set Edit250", {}},
      {"a short record", "LineSpeed,Edit8\n1,2\n3\n", "design: record 3 has 1 fields, the header 2", {{"1", "2"}}},
      {"an empty line inside a design of two columns", "LineSpeed,Edit8\n1,2\n\n3,4\n",
       "design: record 3 has 1 fields, the header 2", {{"1", "2"}}},
      {"a quote left open", "LineSpeed\n1\n\"2\n3\n", "design: record 3 ends inside a quoted field", {{"1"}}},
      {"a record beyond the bound", "LineSpeed\n1\n\"" + std::string(60, '2') + "\n" + std::string(60, '3') + "\"\n",
       "file: d.csv: record 3 is longer than 100 bytes", {{"1"}}},
      {"a line beyond the bound", "LineSpeed\n" + std::string(101, '1') + "\n",
       "file: d.csv: line 2 is longer than 100 bytes", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Read read = ReadDesign(c.text, 100);
    EXPECT_EQ(read.error, c.error);
    EXPECT_EQ(read.records, c.before);
  }
}

TEST(DesignReader, RecordsSetEntriesAndLineSettings) {
  TextSource source("LineSpeed,ZoneExhaustFlow[2],ResidualTarget\n0.5,8000,\n");
  DesignReader design(source, "d.csv");
  std::vector<std::string> fields;
  ASSERT_TRUE(design.Next(fields));
  MapEntryTexts entries;
  LineSettings line;
  line.ResidualTarget = 2;
  ApplyDesignRecord(design.Columns(), fields, entries, line);
  EXPECT_EQ(entries.Text("Edit6"), "0.5");
  EXPECT_EQ(line.ZoneExhaustFlow[2], 8000);
  EXPECT_FALSE(line.ResidualTarget.has_value());
  EXPECT_FALSE(design.Next(fields));
}

// A column of materials sets what --set Solvent1=KEY sets: every entry, the LEL, the name and
// the diffusion model's values; an unknown key is refused as --set refuses it.
TEST(DesignReader, AMaterialColumnSetsWhatPickingTheMaterialSets) {
  ::setenv("XDG_DATA_HOME", "/nonexistent/tovimar-design-test", 1);
  const MaterialLibrary library = LoadMaterialLibrary();
  ::unsetenv("XDG_DATA_HOME");
  TextSource source("Polymer,Solvent1,LEL1\npolystyrene,toluene,1.2\npolystyrene,butter,1\n");
  DesignReader design(source, "d.csv");
  ASSERT_EQ(design.Columns()[1].material, MaterialSlot::Solvent1);
  EXPECT_EQ(design.Columns()[1].entryName, "");
  std::vector<std::string> fields;
  ASSERT_TRUE(design.Next(fields));
  MapEntryTexts entries;
  LineSettings line;
  ApplyDesignRecord(design.Columns(), fields, entries, line, &library);
  MapEntryTexts picked;
  LineSettings pickedLine;
  (void)ApplyMaterial(library, MaterialSlot::Polymer, "polystyrene", picked, pickedLine);
  (void)ApplyMaterial(library, MaterialSlot::Solvent1, "toluene", picked, pickedLine);
  pickedLine.LEL1 = 1.2;
  for (const ConditionField& field : ConditionFields()) {
    EXPECT_EQ(entries.Text(field.entryName), picked.Text(field.entryName)) << field.name;
  }
  EXPECT_EQ(entries.Text("Edit224"), "6.92553");
  EXPECT_EQ(FormatLineSettings(line), FormatLineSettings(pickedLine));
  EXPECT_EQ(line.Model.diffusion.Xi1, 0.58);
  ASSERT_TRUE(design.Next(fields));
  EXPECT_THROW(ApplyDesignRecord(design.Columns(), fields, entries, line, &library), MaterialLibraryError);
  EXPECT_THROW(ApplyDesignRecord(design.Columns(), fields, entries, line), MaterialLibraryError);
  EXPECT_TRUE(NeedsMaterialLibrary(design.Columns()));

  // A record's own value of one of the material's fields wins, its column before the material's.
  TextSource overriding("AntoineA1,Solvent1\n7.5,toluene\n");
  DesignReader second(overriding, "d.csv");
  ASSERT_TRUE(second.Next(fields));
  ApplyDesignRecord(second.Columns(), fields, entries, line, &library);
  EXPECT_EQ(entries.Text("Edit224"), "7.5");
  EXPECT_EQ(entries.Text("Edit225"), picked.Text("Edit225"));
}

}  // namespace
}  // namespace tovimar
