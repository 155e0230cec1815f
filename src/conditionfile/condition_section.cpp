#include "conditionfile/condition_section.h"

#include <algorithm>
#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "format/fixed_format.h"
#include "input/line_catalogue.h"

namespace tovimar {

namespace {

constexpr std::string_view LineEnd = "\r\n";

// The only non-ASCII characters of the labels and their code-page-932 bytes in the file.
struct LabelCharacter {
  std::string_view utf8;
  std::string_view fileBytes;
};
constexpr std::array<LabelCharacter, 2> LabelCharacters{{
    {"\u2103", "\x81\x8E"},  // degree Celsius
    {"\u03C7", "\x83\xD4"},  // Greek small chi
}};

// What stands before the first value line of each group in the head: empty lines, a title
// between two rules of "=", an empty line after the title, and a group header (the name
// over a rule of "-").
struct GroupHeading {
  FieldGroup group;
  int emptyLinesBefore;
  std::string_view title;  // empty: none
  bool emptyLineAfterTitle;
  std::string_view name;   // empty: none
};

// "PHISICAL" is the spelling that existing result files carry.
constexpr std::array<GroupHeading, 7> GroupHeadings{{
    {FieldGroup::Polymer, 0, "PHISICAL PROPERTIES", true, "SOLID (POLYMER)"},
    {FieldGroup::Solvent1, 1, "", false, "SOLVENT-1"},
    {FieldGroup::Solvent2, 1, "", false, "SOLVENT-2"},
    {FieldGroup::BaseFilm, 1, "", false, "BASE FILM"},
    {FieldGroup::Fitting, 2, "FITTING PARAMETERS", false, ""},
    {FieldGroup::Accuracy, 2, "CALCULATION ACCURACY", false, ""},
    // Followed by the header of zone 1.
    {FieldGroup::Zone, 2, "OPERATING CONDITION", true, ""},
}};

// Empty lines after the last value line of a zone (the head ends with zone 1's).
constexpr int EmptyLinesAfterZone = 2;
// Length of the rules of "-" above and below a zone's name.
constexpr std::size_t ZoneRuleLength = 7;

void AppendLine(std::string& out, std::string_view text) {
  out.append(text);
  out.append(LineEnd);
}

void AppendEmptyLines(std::string& out, int count) {
  for (int i = 0; i < count; ++i) {
    out.append(LineEnd);
  }
}

void AppendHeading(std::string& out, const GroupHeading& heading) {
  AppendEmptyLines(out, heading.emptyLinesBefore);
  if (!heading.title.empty()) {
    const std::string rule(heading.title.size(), '=');
    AppendLine(out, rule);
    AppendLine(out, heading.title);
    AppendLine(out, rule);
    if (heading.emptyLineAfterTitle) {
      AppendEmptyLines(out, 1);
    }
  }
  if (!heading.name.empty()) {
    AppendLine(out, "  " + std::string(heading.name));
    AppendLine(out, "  " + std::string(heading.name.size(), '-'));
  }
}

const GroupHeading& HeadingOf(FieldGroup group) {
  for (const GroupHeading& heading : GroupHeadings) {
    if (heading.group == group) {
      return heading;
    }
  }
  throw std::logic_error("condition section: a field group without a heading");
}

void AppendZoneHeader(std::string& out, int k) {
  const std::string rule = "  " + std::string(ZoneRuleLength, '-');
  AppendLine(out, rule);
  AppendLine(out, "  ZONE " + std::to_string(k));
  AppendLine(out, rule);
}

void AppendValueLine(std::string& out, const ConditionField& field, const DryingConditions& c) {
  std::string value;
  AppendFixedFormat(value, field.Value(c), field.precision, field.decimals);
  AppendValueText(out, field, value);
  out.append(LineEnd);
}

}  // namespace

std::string LabelBytes(std::string_view utf8Label) {
  std::string bytes;
  bytes.reserve(utf8Label.size());
  std::size_t i = 0;
  while (i < utf8Label.size()) {
    const auto byte = static_cast<unsigned char>(utf8Label[i]);
    if (byte < 0x80) {
      bytes.push_back(utf8Label[i]);
      ++i;
      continue;
    }
    bool mapped = false;
    for (const LabelCharacter& ch : LabelCharacters) {
      if (utf8Label.substr(i, ch.utf8.size()) == ch.utf8) {
        bytes.append(ch.fileBytes);
        i += ch.utf8.size();
        mapped = true;
        break;
      }
    }
    if (!mapped) {
      throw std::logic_error("label \"" + std::string(utf8Label) +
                             "\" holds a character the result file cannot carry");
    }
  }
  return bytes;
}

namespace {

// What a value line of `field` holds before its value: the indent, the label's bytes, the
// padding to the "=" column and "=  ".
std::string ValueLinePrefix(const ConditionField& field) {
  std::string line(static_cast<std::size_t>(field.labelIndent), ' ');
  line += LabelBytes(field.label);
  // The "=" stands in byte column equalsColumn (from 1); a label too long for that (none in
  // the catalogue) still gets one space before it.
  const std::size_t beforeEquals = static_cast<std::size_t>(field.equalsColumn - 1);
  line.resize(line.size() < beforeEquals ? beforeEquals : line.size() + 1, ' ');
  line += "=  ";
  return line;
}

}  // namespace

void AppendValueText(std::string& out, const ConditionField& field, std::string_view valueText) {
  // The catalogue's prefixes are formed once: every run and data file writes them all.
  static const std::vector<std::string> prefixes = [] {
    std::vector<std::string> all;
    for (const ConditionField& f : ConditionFields()) all.push_back(ValueLinePrefix(f));
    return all;
  }();
  const std::vector<ConditionField>& fields = ConditionFields();
  const std::less<const ConditionField*> before;
  const bool inCatalogue = !before(&field, fields.data()) && before(&field, fields.data() + fields.size());
  if (inCatalogue) {
    out += prefixes[static_cast<std::size_t>(&field - fields.data())];
  } else {
    out += ValueLinePrefix(field);
  }
  out += valueText;
}

std::string FormatValueLine(const ConditionField& field, std::string_view valueText) {
  std::string line;
  AppendValueText(line, field, valueText);
  return line;
}

std::string FormatConditionSection(const DryingConditions& c) {
  std::string out;
  out.reserve(4096);
  bool first = true;
  FieldGroup group{};
  for (const ConditionField& field : ConditionFields()) {
    if (field.zone > 1) {
      continue;  // zones 2..14 have their own blocks
    }
    if (first || field.group != group) {
      group = field.group;
      AppendHeading(out, HeadingOf(group));
      if (group == FieldGroup::Zone) {
        AppendZoneHeader(out, 1);
      }
      first = false;
    }
    AppendValueLine(out, field, c);
  }
  AppendEmptyLines(out, EmptyLinesAfterZone);
  return out;
}

std::string FormatZoneSection(const DryingConditions& c, int k) {
  if (k < 2 || k > MaxZones) {
    throw std::out_of_range("no condition block for zone " + std::to_string(k) +
                            " (zones 2 to " + std::to_string(MaxZones) + ")");
  }
  std::string out;
  out.reserve(1024);
  AppendEmptyLines(out, 1);
  AppendZoneHeader(out, k);
  for (int column = 1; column <= ZoneColumns; ++column) {
    AppendValueLine(out, ZoneField(k, column), c);
  }
  AppendEmptyLines(out, EmptyLinesAfterZone);
  return out;
}

void WriteConditionSection(const DryingConditions& c, const ResultSink& file) {
  // Formatted in full before the file is touched: nothing half-written if formatting fails.
  const std::string text = FormatConditionSection(c);
  file.Create(text);
}

void WriteZoneSection(const DryingConditions& c, const ResultSink& file,
                      int k) {
  const std::string text = FormatZoneSection(c, k);
  file.Append(text);
}

std::string FormatModelSection(const ModelChoice& choice) {
  const std::vector<std::pair<std::string, std::string>> rows = ModelParameterRows(choice);
  std::string out;
  if (rows.empty()) return out;
  AppendEmptyLines(out, 1);
  const std::string rule(12, '=');
  AppendLine(out, rule);
  AppendLine(out, "DRYING MODEL");
  AppendLine(out, rule);
  AppendEmptyLines(out, 1);
  // Every "=" in one column, after the longest name.
  std::size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.first.size());
  for (const auto& [name, value] : rows) {
    AppendLine(out, "    " + name + std::string(width - name.size() + 2, ' ') + "=  " + value);
  }
  return out;
}

void WriteModelSection(const ModelChoice& choice, const ResultSink& file) {
  if (const std::string text = FormatModelSection(choice); !text.empty()) {
    file.Append(text);
  }
}

}  // namespace tovimar
