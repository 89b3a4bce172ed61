// The field records of the wizard data document, read from the chosen
// table's schema: one Fields/Field per column with its type, size, flags and
// a proposed lookup for foreign-key columns, and the table's primary key.
#pragma once

#include <string>

#include "database/data_access.h"

namespace tvk {

class Ui;
class XMLWizData;

// Empties DataSource/PrimaryKey, TableReadOnly and SQLStatement, then
// rebuilds the field records (SetupXMLFieldData_ADOX). Failures pass on.
void ResetTableData(XMLWizData& wizData);

// Writes DataSource/PrimaryKey and replaces every Fields/Field by the
// records of the table named DataSource/TableName. Reports its failures.
void SetupXMLFieldData_ADOX(XMLWizData& wizData);

// Whether a lookup table's column of `columnType` can link a field of
// `fieldType` to it: compatible types (the same, or both text), or two
// integers of any width or sign, as a bigint column that refers to an
// INTEGER key. Text and numbers never link.
bool gfbLinkableDataType(int fieldType, int columnType);

// The table a column refers to through a single-column key of the table
// other than the primary key (empty for a unique key), or empty. The table
// is named as the table list names it ("schema.table" outside the default
// schema).
std::string fsRelatedTable(Ui& ui, db::Table& table, const db::Column& column);

}  // namespace tvk
