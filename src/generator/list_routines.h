// The list page's routines for editing a record inside the list, fetching
// the page of records to show, moving between pages and adding a record.
#pragma once

#include <string>

namespace tvk::gen {

class GenContext;

std::string fsASPDisplayEditLine(const GenContext& ctx);        // Sub DisplayEditLine (rs)
std::string fsASPListGetRecordset(const GenContext& ctx);       // Function frsGetRecordset
std::string fsASPDisplayPageNavButtons(const GenContext& ctx);  // Sub DisplayPageNavButtons
std::string fsASPDisplayDirectPageNav(const GenContext& ctx);   // Sub DisplayDirectPageNav
std::string fsASPDisplayAddButton(const GenContext& ctx);       // Sub DisplayAddButton

}  // namespace tvk::gen
