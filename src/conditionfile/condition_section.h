#pragma once

#include <string>
#include <string_view>

#include "input/field_catalogue.h"
#include "model/conditions.h"
#include "model/drying_model.h"
#include "format/file_writer.h"

namespace tovimar {

// The 78-line head of the condition section: properties, fitting parameters, calculation
// accuracy and the operating conditions of zone 1. Bytes as written to the file (CR LF,
// code-page-932 bytes for the degree-Celsius sign and chi).
std::string FormatConditionSection(const DryingConditions& c);

// The 12-line block of zone k (2..14); another k throws std::out_of_range.
std::string FormatZoneSection(const DryingConditions& c, int k);

// One value line without its line end: indent, label (as file bytes), spaces up to the
// "=" in the field's byte column, "=", two spaces, value.
std::string FormatValueLine(const ConditionField& field, std::string_view valueText);

// The same line appended to `out`, without a text of its own in between.
void AppendValueText(std::string& out, const ConditionField& field, std::string_view valueText);

// A catalogue label (UTF-8) as the bytes of the result file: ASCII as it is, "℃" as
// 0x81 0x8E and "χ" as 0x83 0xD4. Any other non-ASCII character throws std::logic_error.
std::string LabelBytes(std::string_view utf8Label);

// Creates the result file afresh with the head. Throws FileError ("File can not open!") when
// it cannot be created and ResultWriteError when a write fails.
void WriteConditionSection(const DryingConditions& c, const ResultSink& file);

// Appends the block of zone k; throws as WriteConditionSection.
void WriteZoneSection(const DryingConditions& c, const ResultSink& file,
                      int k);

// The section a run of a model with parameters adds after its tables: a heading naming the
// model and one "name (unit) = value" line per parameter (see ModelParameterRows of input/line_catalogue.h). Empty
// for the lumped model, whose result file ends with its last table.
std::string FormatModelSection(const ModelChoice& choice);

// Appends FormatModelSection(choice) when it is not empty; throws as WriteConditionSection.
void WriteModelSection(const ModelChoice& choice, const ResultSink& file);

}  // namespace tovimar
