// The field options page: the field list on the left, its display and lookup
// options on the right, saved into the field's record when another field is
// chosen or the page is stored.
#pragma once

#include <string>

namespace tvk {

class FrmWizard;

void TVKW_FieldSelect_onchange(FrmWizard& wizard);
// Stores the page's controls into the field of that name (nothing for "").
void TVKW_FieldSelect_save(FrmWizard& wizard, const std::string& fieldName);
void TVKW_LinkTableSelect_onchange(FrmWizard& wizard);
void TVKW_EditList_onclick(FrmWizard& wizard);

}  // namespace tvk
