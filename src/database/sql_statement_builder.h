// Builds the SELECT statement that the generated pages open: every displayed
// column of the table, and for each field that looks its value up in another
// table, a join to that table and its shown column (aliased when its name
// would clash with another column of the statement; the table aliased when
// the statement joins it a second time).
#pragma once

namespace tvk {

class XMLWizData;

// Aliases, then the statement: the data the generator needs beyond the
// wizard's answers. Failures of the alias step pass on to the caller; false
// when the statement could not be built (its failure has been reported).
bool SetupGenerationData(XMLWizData& wizData);
// Writes LookupTableAlias for database lookups whose table the statement
// joins a second time (the page's own table, or an earlier lookup's), and
// LookupShowFieldAlias for those whose shown column's name is not unique in
// the statement (an alias unique in the statement). Failures pass on to the
// caller.
void SetupLookupAliases(XMLWizData& wizData);
// Writes DataSource/SQLStatement. Traps its own failures; after Abort the
// statement is not stored and the result is false.
bool SetupSQLStatement(XMLWizData& wizData);

}  // namespace tvk
