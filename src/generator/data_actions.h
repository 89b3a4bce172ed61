// The generated routines that add, change and delete records: the data
// action dispatcher PerformDataActions and the record functions
// fbInsertRecord, fbUpdateRecord and fbDeleteRecord. The list page and the
// form page each get their own PerformDataActions, fbInsertRecord and
// fbUpdateRecord (over their own fields); fbDeleteRecord is one text for
// both. Each writer returns the routine's text, or the empty text after the
// user abandoned it at the error report.
#pragma once

#include <string>
#include <string_view>

namespace tvk::gen {

class GenContext;

// Form page variant: redirects to the list page of a list-with-form project
// when the form does not navigate on its own.
std::string fsASPPerformDataActions(const GenContext& ctx);
// List page variant: never redirects.
std::string fsASPListPerformDataActions(const GenContext& ctx);

std::string fsASPFormInsertRecord(const GenContext& ctx);
std::string fsASPListInsertRecord(const GenContext& ctx);
std::string fsASPFormUpdateRecord(const GenContext& ctx);
std::string fsASPListUpdateRecord(const GenContext& ctx);
std::string fsASPDeleteRecord(const GenContext& ctx);

// A page-side expression made fit to complete an SQL comparison after "= ",
// by the base type of the column it is compared with: dates and texts go
// through the include file's SQL formatters, every other type through its
// number formatter (so a posted key that is not a number matches nothing).
std::string fsSQLValueExpression(std::string_view expression, int dataType);

// The key value expression for the primary key: `expression` formatted by
// the key column's data type. Fails (type mismatch) when the key has no
// numeric data type.
std::string fsKeyValueExpression(const GenContext& ctx, std::string_view expression);

}  // namespace tvk::gen
