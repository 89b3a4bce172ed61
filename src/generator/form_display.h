// The routines that draw the form page: the record with its labels and
// input controls, the bar that steps from record to record, and the submit
// buttons whose labels become the next request's data action. Each writer
// returns the routine's text, or the empty text after the user abandoned it
// at the error report.
#pragma once

#include <string>

namespace tvk::gen {

class GenContext;

std::string fsASPDisplayForm(const GenContext& ctx);          // Sub DisplayForm()
std::string fsASPDisplayRecordNav(const GenContext& ctx);     // Sub DisplayRecordNavButtons()
std::string fsASPDisplayRecordAction(const GenContext& ctx);  // Sub DisplayRecordActionButtons()

}  // namespace tvk::gen
