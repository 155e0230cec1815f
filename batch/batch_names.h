#pragma once

#include <ostream>
#include <string>

#include "conditionfile/material_library.h"
#include "input/field_catalogue.h"

namespace tovimar::batch {

// --list-names: every input name (entry, field, caption, unit, default), every line setting
// and every output quantity (name, scope, caption, unit), as tab-separated lines in three
// sections.
void ListNames(std::ostream& out);

// --list-materials: the solvents (key, name, normal boiling point in deg C, and what a run
// would lack) and the polymers (key, name), as tab-separated lines in two sections.
void ListMaterials(std::ostream& out, const MaterialLibrary& library);

}  // namespace tovimar::batch
