#include "database/sql_statement_builder.h"

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/general.h"
#include "base/xml.h"
#include "database/unique_names.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

// The statement is built when the final page loads, so its failures are
// reported under the wizard window's name.
constexpr std::string_view kModule = "frmWizard";

bool usesDatabaseLookup(const XMLWizData& wd, const XmlNode& field) {
  return wd.GetSubNodeText(field, wiz::UseLookupTable) == wiz::kTrue &&
         wd.GetSubNodeText(field, wiz::LookupTableType) == wiz::kLookupDatabaseTable;
}

// Databases compare unquoted names without regard to case, so two names
// that differ only in case clash all the same.
std::string folded(std::string_view name) { return gfsFoldedName(name); }

// A table's name without its schema: how the statement's columns know it.
std::string_view unqualified(std::string_view table) {
  const size_t dot = table.rfind('.');
  return dot == std::string_view::npos ? table : table.substr(dot + 1);
}

// The start of a table's alias: a plain name made from the table's own name
// (without a schema), so that the alias never needs quoting.
std::string aliasStem(std::string_view table) {
  table = unqualified(table);
  std::string stem;
  for (char c : table) stem += std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' ? c : '_';
  if (stem.empty() || std::isdigit(static_cast<unsigned char>(stem[0])) != 0) stem.insert(0, "t");
  return stem;
}

// The name the statement's columns know a table by: "archive.regions" is
// "regions" there as the default schema's regions is, and a statement may
// not name two of its tables alike.
std::string exposedName(std::string_view table) { return folded(unqualified(table)); }

// Gives every lookup table that the statement joins a second time (the
// page's own table, or the table of an earlier lookup, or a table of the
// same name in another schema) an alias of its own, "hosts_1",
// "hosts_2"..., that is no table name of the statement; removes an alias
// that is no longer needed.
void setupTableAliases(XMLWizData& wizData, const XmlNodeList& lookups) {
  std::string table = wizData.GetNodeText(wiz::TableName);
  UniqueNames names;
  names.take(table);
  names.take(exposedName(table));
  for (const XmlNode& field : lookups) {
    std::string lookupTable = wizData.GetSubNodeText(field, wiz::LookupTableName);
    names.take(lookupTable);
    names.take(exposedName(lookupTable));
  }
  std::set<std::string> joined{exposedName(table)};
  for (const XmlNode& field : lookups) {
    std::string lookupTable = wizData.GetSubNodeText(field, wiz::LookupTableName);
    if (joined.insert(exposedName(lookupTable)).second) {
      if (wizData.GetSubNode(field, wiz::LookupTableAlias)) wizData.SetSubNodeText(field, wiz::LookupTableAlias, "");
      continue;
    }
    std::string alias = names.numbered(aliasStem(lookupTable), 1);
    wizData.SetSubNodeText(field, wiz::LookupTableAlias, alias);
  }
}

// The name under which the statement names a lookup's columns: its table
// alias, or its table.
std::string joinedTableName(const XMLWizData& wizData, const XmlNode& field) {
  std::string alias = wizData.GetSubNodeText(field, wiz::LookupTableAlias);
  return trimBlanks(alias).empty() ? wizData.GetSubNodeText(field, wiz::LookupTableName) : alias;
}

}  // namespace

bool SetupGenerationData(XMLWizData& wizData) {
  SetupLookupAliases(wizData);
  return SetupSQLStatement(wizData);
}

void SetupLookupAliases(XMLWizData& wizData) {
  XmlNodeList fields = wizData.GetDisplayedFields();
  XmlNodeList lookups;
  for (const XmlNode& field : fields)
    if (usesDatabaseLookup(wizData, field)) lookups.push_back(field);
  setupTableAliases(wizData, lookups);

  // The names the statement's columns already carry; an alias must be none
  // of them.
  UniqueNames taken;
  taken.take(wizData.GetNodeText(wiz::PrimaryKey));
  for (const XmlNode& field : fields) taken.take(wizData.GetSubNodeText(field, wiz::FieldName));
  std::vector<bool> needsAlias;
  // Counted once: the aliases written below change no name that is counted.
  const FieldNameCounts names(wizData);
  for (const XmlNode& field : lookups) {
    std::string showField = wizData.GetSubNodeText(field, wiz::LookupShowField);
    bool stored = !trimBlanks(wizData.GetSubNodeText(field, wiz::LookupShowFieldAlias)).empty();
    bool unique = names.isUnique(gfsEncaseSQLObject(showField));
    needsAlias.push_back(stored || !unique);
    if (!stored && unique) taken.take(showField);
  }
  for (size_t i = 0; i < lookups.size(); ++i) {
    if (!needsAlias[i]) continue;
    const XmlNode& field = lookups[i];
    // An alias written by an earlier run stays even when no longer needed,
    // unless it has come to clash.
    std::string stored = wizData.GetSubNodeText(field, wiz::LookupShowFieldAlias);
    // A table in another schema is named in the alias as the statement
    // exposes it, without its schema: a dot would make the alias a
    // qualified name.
    const std::string joined = joinedTableName(wizData, field);
    std::string wanted = trimBlanks(stored).empty() ? std::string(unqualified(joined)) + "_" +
                                                          wizData.GetSubNodeText(field, wiz::LookupShowField)
                                                    : stored;
    std::string alias = taken.unique(wanted);
    if (alias != stored) wizData.SetSubNodeText(field, wiz::LookupShowFieldAlias, alias);
  }
}

bool SetupSQLStatement(XMLWizData& wizData) {
  ErrorTrap trap{wizData.ui(), kModule, "SetupSQLStatement"};
  std::string statement;
  if (!trap([&] {
        const SqlDialect dialect = gfnSqlDialect(wizData.GetNodeText(wiz::SQLDialect));
        const std::string rawTableName = wizData.GetNodeText(wiz::TableName);
        const std::string rawKey = wizData.GetNodeText(wiz::PrimaryKey);
        const std::string table = gfsEncaseSQLTable(rawTableName, dialect);
        const std::string key = gfsEncaseSQLObject(rawKey, dialect);
        const bool jet = wizData.GetNodeText(wiz::DataProvider) == "JET";
        std::string columns;
        std::string joins;
        std::string from = table;
        int lookups = 0;
        bool keyDisplayed = false;
        bool keyNameJoined = false;

        for (const XmlNode& field : wizData.GetDisplayedFields()) {
          std::string name = gfsEncaseSQLObject(wizData.GetSubNodeText(field, wiz::FieldName), dialect);
          if (name == key) keyDisplayed = true;
          columns += table + "." + name + ", ";
          if (!usesDatabaseLookup(wizData, field)) continue;

          ++lookups;
          const std::string rawTable = wizData.GetSubNodeText(field, wiz::LookupTableName);
          const std::string rawJoin = wizData.GetSubNodeText(field, wiz::LookupJoinField);
          const std::string rawShow = wizData.GetSubNodeText(field, wiz::LookupShowField);
          // The joined table has a column of the key's name: the page's own
          // table (or a table of its name in another schema), or a lookup
          // that joins or shows a column of that name.
          if (exposedName(rawTable) == exposedName(rawTableName) || folded(rawJoin) == folded(rawKey) ||
              folded(rawShow) == folded(rawKey))
            keyNameJoined = true;
          std::string lookupTable = gfsEncaseSQLTable(rawTable, dialect);
          std::string showField = gfsEncaseSQLObject(rawShow, dialect);
          std::string aliasText = wizData.GetSubNodeText(field, wiz::LookupShowFieldAlias);
          std::string joinField = gfsEncaseSQLObject(rawJoin, dialect);
          std::string tableAlias = wizData.GetSubNodeText(field, wiz::LookupTableAlias);
          // A table joined a second time is named through its alias.
          std::string joined = lookupTable;
          if (!trimBlanks(tableAlias).empty()) {
            joined = gfsEncaseSQLObject(tableAlias, dialect);
            lookupTable += " AS " + joined;
          }
          columns += joined + "." + showField;
          if (!trimBlanks(aliasText).empty()) columns += " AS " + gfsEncaseSQLObject(aliasText, dialect);
          columns += ", ";
          joins += wizData.GetSubNodeText(field, wiz::FieldRequired) == wiz::kTrue ? "INNER JOIN " : "LEFT OUTER JOIN ";
          joins += lookupTable + " ON " + table + "." + name + " = " + joined + "." + joinField + " ";
          if (jet) {
            // JET wants every join but the first in parentheses.
            joins += ") ";
            from = "(" + from;
          }
        }
        if (jet && lookups == 1) {
          joins.resize(joins.size() - 2);
          from.erase(0, 1);
        }
        // A key that is not shown is still selected (first): the pages find
        // records by it. It is qualified only where a joined table has a
        // column of its name, which would make it ambiguous.
        if (!keyDisplayed && !key.empty()) columns = (keyNameJoined ? table + "." : "") + key + ", " + columns;
        if (columns.size() < 2)
          raise(err::kInvalidCall, std::string(kModule),
                "The SELECT statement has no column: no field is displayed and the table has no "
                "primary key");
        columns.resize(columns.size() - 2);
        statement = "SELECT " + columns + " FROM " + from + " " + joins;
      }))
    return false;
  return trap([&] { wizData.SetNodeText(wiz::SQLStatement, statement); }) && !trap.aborted();
}

}  // namespace tvk
