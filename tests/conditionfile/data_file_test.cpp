#include "support/recorded.h"
#include "conditionfile/data_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "conditionfile/condition_section.h"
#include "input/field_catalogue.h"
#include "support/defaults.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;
using test_support::PutFileBytes;

const std::vector<int> DisabledLines{5, 7, 8, 9, 13, 15, 16, 17};

bool IsDisabledLine(int line) {
  return std::find(DisabledLines.begin(), DisabledLines.end(), line) != DisabledLines.end();
}

// A distinctive value for data-file line `line` (1..120).
std::string ValueOfLine(int line) { return std::to_string(line) + ".25"; }

// 120 lines "label =  value" joined with `lineEnd`, each line passed through `edit`.
std::string DataText(const std::string& lineEnd,
                     const std::function<void(int, std::string&)>& edit = nullptr,
                     int lineCount = DataFileLineCount) {
  std::string text;
  for (int line = 1; line <= lineCount; ++line) {
    std::string content = "    Label of line " + std::to_string(line) + " =  " + ValueOfLine(line);
    if (edit) {
      edit(line, content);
    }
    text += content;
    text += lineEnd;
  }
  return text;
}

std::map<std::string, std::string> TextsOf(const EntryTexts& entries) {
  std::map<std::string, std::string> texts;
  for (const std::string& name : AllEntryNames()) {
    texts[name] = entries.Text(name);
  }
  return texts;
}

struct Loading {
  MapEntryTexts entries;
  RecordedMessages messages;
  DataFileLoad result = DataFileLoad::Loaded;
};

Loading Load(const std::string& path) {
  Loading l;
  l.result = LoadDataFile(path, l.entries, l.messages);
  return l;
}

// Every enabled entry holds the value of its line; every disabled one its default.
void ExpectLoadedValues(const Loading& l) {
  ASSERT_EQ(l.result, DataFileLoad::Loaded);
  EXPECT_TRUE(l.messages.messages.empty());
  const MapEntryTexts defaults;
  const auto& fields = ConditionFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int line = static_cast<int>(i) + 1;
    const std::string expected =
        IsDisabledLine(line) ? defaults.Text(fields[i].entryName) : ValueOfLine(line);
    EXPECT_EQ(l.entries.Text(fields[i].entryName), expected) << "line " << line;
  }
  EXPECT_EQ(l.entries.Text("Edit250"), "result.txt");  // never loaded
}

TEST(DataFile, LineOrderFollowsTheConditionSection) {
  const auto& fields = ConditionFields();
  ASSERT_EQ(fields.size(), 120U);
  const std::map<int, std::string> expected{
      {1, "Edit211"},  {3, "Edit213"},   {4, "Edit221"},   {11, "Edit228"}, {12, "Edit231"},
      {19, "Edit238"}, {20, "Edit241"},  {21, "Edit201"},  {28, "Edit208"}, {29, "Edit20"},
      {30, "Edit1"},   {36, "Edit7"},    {37, "Edit8"},    {42, "Edit13"},  {43, "Edit21"},
      {48, "Edit26"},  {49, "Edit31"},   {115, "Edit141"}, {120, "Edit146"}};
  for (const auto& [line, entry] : expected) {
    EXPECT_EQ(fields[static_cast<std::size_t>(line - 1)].entryName, entry) << "line " << line;
  }
  for (int line : DisabledLines) {
    EXPECT_FALSE(fields[static_cast<std::size_t>(line - 1)].enabled) << "line " << line;
  }
}

TEST(DataFile, LoadsEveryEnabledEntryWithEitherLineEnd) {
  ScratchDir dir;
  for (const std::string lineEnd : {"\r\n", "\n"}) {
    SCOPED_TRACE(lineEnd == "\n" ? "LF" : "CR LF");
    PutFileBytes(dir.File("data.txt"), DataText(lineEnd));
    ExpectLoadedValues(Load(dir.File("data.txt")));
  }
}

TEST(DataFile, LastLineNeedsNoLineEnd) {
  ScratchDir dir;
  std::string text = DataText("\r\n");
  text.resize(text.size() - 2);
  PutFileBytes(dir.File("data.txt"), text);
  ExpectLoadedValues(Load(dir.File("data.txt")));
}

// Files that are rejected: the message names the full path in double quotes, and no entry
// changes.
struct RejectCase {
  std::string name;
  std::string bytes;
};

TEST(DataFile, RejectsAFileWhoseFirst120LinesDoNotAllHoldAnEqualsSign) {
  const DryingConditions defaults = test_support::DefaultConditions();
  std::string resultHead = FormatConditionSection(defaults);
  for (int zone = 2; zone <= MaxZones; ++zone) resultHead += FormatZoneSection(defaults, zone);
  const std::vector<RejectCase> cases{
      {"119 lines", DataText("\r\n", nullptr, 119)},
      {"119 lines and an empty 120th", DataText("\r\n", nullptr, 119) + "\r\n"},
      {"empty 120th line followed by more",
       DataText("\r\n", [](int line, std::string& s) { if (line == 120) s.clear(); }) + "a=1\r\n"},
      {"line 60 without =",
       DataText("\n", [](int line, std::string& s) { if (line == 60) s = "    Zone Length (m)  30.0"; })},
      {"an empty file", ""},
      {"a result file", resultHead},
      {"0x1A before line 120", DataText("\r\n", [](int line, std::string& s) { if (line == 100) s += '\x1A'; })},
      {"a lone CR does not end a line", DataText("\r", nullptr)},
  };
  ScratchDir dir;
  for (const RejectCase& rc : cases) {
    SCOPED_TRACE(rc.name);
    const std::string path = dir.File("not data.txt");
    PutFileBytes(path, rc.bytes);
    MapEntryTexts entries;
    entries.SetText("Edit1", "typed");
    const auto before = TextsOf(entries);
    RecordedMessages messages;
    EXPECT_EQ(LoadDataFile(path, entries, messages), DataFileLoad::NotDataFile);
    EXPECT_EQ(messages.messages,
              std::vector<std::string>{"\"" + path + "\" is not a correct data file!"});
    EXPECT_EQ(TextsOf(entries), before);
  }
}

TEST(DataFile, AResultFileHasTheTitleOnItsSecondLine) {
  const std::string head = FormatConditionSection(test_support::DefaultConditions());
  ASSERT_EQ(head.substr(0, 42), "===================\r\nPHISICAL PROPERTIES\r\n");
}

TEST(DataFile, AFileThatCannotBeReadChangesNothing) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.path() / "folder.txt");
  for (const std::string& path : {dir.File("missing.txt"), dir.File("folder.txt"),
                                  dir.File("no/such/dir/data.txt"), std::string()}) {
    SCOPED_TRACE("\"" + path + "\"");
    MapEntryTexts entries;
    entries.SetText("Edit6", "2.0");
    const auto before = TextsOf(entries);
    RecordedMessages messages;
    EXPECT_EQ(LoadDataFile(path, entries, messages), DataFileLoad::CannotOpen);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Data file can not open!"});
    EXPECT_EQ(TextsOf(entries), before);
  }
}

// How the text after the "=" of line 30 (Edit1) becomes the entry's text.
struct ValueCase {
  std::string name;
  std::string line;
  std::string text;
};

TEST(DataFile, ValueIsTheFirstWordAfterTheFirstEqualsSign) {
  const std::vector<ValueCase> cases{
      {"two spaces as written", "     Initial  Coating Weight (kg/m2)     =  0.069500", "0.069500"},
      {"a comment after the value", "a =  0.5 coating of batch 7", "0.5"},
      {"many spaces before and after", "a =         0.5      ", "0.5"},
      {"no space after =", "a=0.5", "0.5"},
      {"= at the line start", "=12.5", "12.5"},
      {"nothing after =", "label =", ""},
      {"spaces only after =", "label =     ", ""},
      {"further = belong to the value", "a = b=c d", "b=c"},
      {"a tab stays in the value", "a =\t0.5", "\t0.5"},
      {"a tab does not separate", "a =  0.5\tcomment", "0.5\tcomment"},
      {"a lone CR is dropped", "a =  1\r2", "12"},
      {"the value is not checked", "a =  abc", "abc"},
      {"a decimal comma is kept", "a =  0,5", "0,5"},
      {"8-bit bytes are kept", "a =  \x81\x8E", "\x81\x8E"},
      {"a long value", "a =  " + std::string(200000, '7') + " x", std::string(200000, '7')},
      {"a long label and comment", std::string(300000, 'L') + "=  5 " + std::string(300000, 'C'), "5"},
  };
  ScratchDir dir;
  for (const ValueCase& vc : cases) {
    SCOPED_TRACE(vc.name);
    PutFileBytes(dir.File("data.txt"),
               DataText("\r\n", [&](int line, std::string& s) { if (line == 30) s = vc.line; }));
    const Loading l = Load(dir.File("data.txt"));
    ASSERT_EQ(l.result, DataFileLoad::Loaded);
    EXPECT_EQ(l.entries.Text("Edit1"), vc.text);
    EXPECT_EQ(l.entries.Text("Edit2"), ValueOfLine(31));
  }
}

TEST(DataFile, LinesAfterThe120thAreNotRead) {
  ScratchDir dir;
  PutFileBytes(dir.File("data.txt"), DataText("\r\n") + "no equals sign here\r\n\x1A garbage");
  ExpectLoadedValues(Load(dir.File("data.txt")));
}

TEST(DataFile, EndOfTextByteEndsTheFile) {
  ScratchDir dir;
  std::string text = DataText("\r\n");
  text.resize(text.size() - 2);  // line 120 ends at the 0x1A
  PutFileBytes(dir.File("data.txt"), text + "\x1A" "99 more\r\nx\r\n");
  ExpectLoadedValues(Load(dir.File("data.txt")));
}

TEST(DataFile, DisabledLinesAreRequiredButIgnored) {
  ScratchDir dir;
  // Their values differ from the defaults, yet the entries keep their defaults.
  PutFileBytes(dir.File("data.txt"), DataText("\n"));
  const Loading l = Load(dir.File("data.txt"));
  ExpectLoadedValues(l);
  EXPECT_EQ(l.entries.Text("Edit222"), "460.0");
  EXPECT_EQ(l.entries.Text("Edit236"), "219.482");

  // A disabled line without "=" still rejects the file.
  PutFileBytes(dir.File("data.txt"),
             DataText("\n", [](int line, std::string& s) { if (line == 7) s = "6.38469"; }));
  EXPECT_EQ(Load(dir.File("data.txt")).result, DataFileLoad::NotDataFile);
}

TEST(DataFile, ValueLinesOfAFourteenZoneConditionSectionLoad) {
  // The value lines of a result file's condition section with 14 zones, as the program
  // writes them, form a data file.
  DryingConditions c = test_support::DefaultConditions();
  for (int zone = 3; zone <= MaxZones; ++zone) {
    for (int column = 1; column <= ZoneColumns; ++column) {
      ZoneField(zone, column).Value(c) = ZoneField(2, column).Value(c) + zone;
    }
  }
  std::string section = FormatConditionSection(c);
  for (int zone = 2; zone <= MaxZones; ++zone) section += FormatZoneSection(c, zone);
  std::string data;
  std::size_t start = 0;
  while (start < section.size()) {
    const std::size_t end = section.find("\r\n", start);
    const std::string line = section.substr(start, end - start);
    if (line.find('=') != std::string::npos && line.find_first_not_of('=') != std::string::npos) {
      data += line + "\r\n";
    }
    start = end + 2;
  }
  ScratchDir dir;
  PutFileBytes(dir.File("data.txt"), data);
  const Loading l = Load(dir.File("data.txt"));
  ASSERT_EQ(l.result, DataFileLoad::Loaded);
  EXPECT_EQ(l.entries.Text("Edit1"), "0.069500");
  EXPECT_EQ(l.entries.Text("Edit213"), "30000.0");
  EXPECT_EQ(l.entries.Text("Edit223"), "0.000009030");
  EXPECT_EQ(l.entries.Text("Edit20"), "0.10000");
  EXPECT_EQ(l.entries.Text("Edit141"), "74.00");
  EXPECT_EQ(l.entries.Text("Edit146"), "14.05500");
  EXPECT_EQ(l.entries.Text("Edit222"), "460.0");  // disabled: the window's own text
}

TEST(DataFile, FormatWritesTheConditionSectionLabelsWithTheTextsAsValues) {
  const MapEntryTexts entries;
  const std::string data = FormatDataFile(entries);
  const DryingConditions c = test_support::DefaultConditions();
  const std::string section = FormatConditionSection(c);

  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < data.size()) {
    const std::size_t end = data.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
    lines.push_back(data.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 120U);
  EXPECT_EQ(lines[0], "    Specific Heat of Polymer (kJ/kg.K)                =  1.47");
  EXPECT_EQ(lines[28], "     Increment of z (m)                                =  0.1");
  EXPECT_EQ(lines[35], "     Initial Temperature (\x81\x8E)                          =  15.0");
  EXPECT_EQ(lines[42], "     Outer Temperature (\x81\x8E)                            =  60.0");
  EXPECT_EQ(lines[48], "     Outer Temperature (\x81\x8E)                            =  ");
  EXPECT_EQ(lines[119], "     Heat Trans. Coeff. - Lower (kJ/m2.s.K)            =  ");
  // The label field of every line is the one the condition section writes.
  const auto& fields = ConditionFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t labelLength = static_cast<std::size_t>(fields[i].equalsColumn) + 2;
    const std::string label = lines[i].substr(0, labelLength);
    EXPECT_EQ(label.size(), fields[i].equalsColumn == 55 ? 57U : 58U);
    if (fields[i].zone <= 1) {
      EXPECT_NE(section.find("\r\n" + label), std::string::npos) << "line " << i + 1;
    }
  }
}

TEST(DataFile, WrittenFileLoadsBackToTheSameTexts) {
  MapEntryTexts entries;
  for (const ConditionField& f : ConditionFields()) {
    if (f.zone >= 3 && f.zone <= 12) {
      entries.SetText(f.entryName, std::to_string(f.zone * 10 + f.column) + ".5e-1");
    }
  }
  entries.SetText("Edit6", "+1.0");
  entries.SetText("Edit7", "a=b");       // "=" after the first belongs to the value
  entries.SetText("Edit201", "0.3\t");   // a tab is part of the value
  entries.SetText("Edit202", "");        // an empty text stays empty
  entries.SetText("Edit250", "other.txt");
  ScratchDir dir;
  WriteDataFile(dir.File("written.txt"), entries);
  EXPECT_EQ(FileBytes(dir.File("written.txt")), FormatDataFile(entries));

  MapEntryTexts loaded;
  for (const ConditionField& f : ConditionFields()) {
    loaded.SetText(f.entryName, "stale");
  }
  RecordedMessages messages;
  ASSERT_EQ(LoadDataFile(dir.File("written.txt"), loaded, messages), DataFileLoad::Loaded);
  for (const ConditionField& f : ConditionFields()) {
    EXPECT_EQ(loaded.Text(f.entryName), entries.Text(f.entryName)) << f.entryName;
  }
  EXPECT_EQ(loaded.Text("Edit250"), "result.txt");  // the file name is not part of the data
}

TEST(DataFile, TextsThatCannotLoadBackAreRefusedBeforeTheFileIsTouched) {
  const std::vector<std::string> texts{"1 0", " 1.0", "1.0 ", "1\r\n2", "1\n", "1\x1A"};
  ScratchDir dir;
  const std::string path = dir.File("kept.txt");
  for (const std::string& text : texts) {
    MapEntryTexts entries;
    entries.SetText("Edit9", text);
    PutFileBytes(path, "old contents");
    EXPECT_THROW((void)FormatDataFile(entries), InputError);
    try {
      WriteDataFile(path, entries);
      ADD_FAILURE() << "no error for \"" << text << "\"";
    } catch (const InputError& e) {
      EXPECT_NE(std::string(e.what()).find("Edit9 (ZoneLength[1])"), std::string::npos) << e.what();
    }
    EXPECT_EQ(FileBytes(path), "old contents");
  }
}

TEST(DataFile, WriteToAnUnwritablePlaceNamesTheFile) {
  ScratchDir dir;
  const std::string path = dir.File("no/such/dir/data.txt");
  try {
    WriteDataFile(path, MapEntryTexts{});
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("\"" + path + "\""), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace tovimar
