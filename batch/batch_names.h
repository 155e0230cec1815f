#pragma once

#include <ostream>
#include <string>

#include "input/field_catalogue.h"

namespace tovimar::batch {

// The field's name for a person: its condition-section label without the unit, and the
// zone for a zone's field ("Density of Polymer", "Outer Temperature of zone 2").
std::string FieldDisplayName(const ConditionField& field);

// The unit of the field's label ("g/cm3"); empty for a ratio.
std::string FieldUnit(const ConditionField& field);

// --list-names: every input name (entry, field, caption, unit, default), every line setting
// and every output quantity (name, scope, caption, unit), as tab-separated lines in three
// sections.
void ListNames(std::ostream& out);

}  // namespace tovimar::batch
