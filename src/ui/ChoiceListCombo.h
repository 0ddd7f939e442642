#pragma once
// Drop-down lists filled with a fixed choice list, each entry carrying its code as item data.

#include "core/ChoiceLists.h"

class QComboBox;

namespace rat {

// Empties the box unless keepExisting is set, then adds the entries of the numbered list in
// order, each with its code as the item data.
void FillChoiceList(QComboBox* box, int listNumber, bool keepExisting, const ChoiceFlags& flags);

// Makes the entry whose item data is `code` the current one; no entry is current when none has it.
void selectCode(QComboBox* box, int code);

} // namespace rat
