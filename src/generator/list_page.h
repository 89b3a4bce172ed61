// The list page: the page skeleton (include files, constants, page
// variables, request handling, HTML frame, clean-up) and its four display
// routines. The edit row, record set and navigation routines live in
// list_routines.h, the data actions in data_actions.h, the shared blocks in
// shared_routines.h.
#pragma once

#include <string>

namespace tvk::gen {

class GenContext;

// The whole text of the list page.
std::string fsListPageText(const GenContext& ctx);

std::string fsASPDisplayList(const GenContext& ctx);        // Sub DisplayList
std::string fsASPDisplayListHeader(const GenContext& ctx);  // Sub DisplayListHeader
std::string fsASPSortingHeader(const GenContext& ctx);      // Function fsSortingHeader
std::string fsASPDisplayListLine(const GenContext& ctx);    // Sub DisplayListLine

}  // namespace tvk::gen
