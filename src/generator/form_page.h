// The form page: one record of the table at a time, with stepping between
// records and adding, changing and deleting as the wizard allowed. This
// writes the page skeleton (include files, constants, page variables,
// request handling, HTML frame, clean-up) and the record source routine; the
// display routines live in form_display.h, the data actions in
// data_actions.h, the shared blocks in shared_routines.h.
#pragma once

#include <string>

namespace tvk::gen {

class GenContext;

// The whole text of the form page.
std::string fsFormPageText(const GenContext& ctx);

// Function frsGetRecordset: the form's recordset, positioned on the record
// to show.
std::string fsASPFormGetRecordset(const GenContext& ctx);

}  // namespace tvk::gen
