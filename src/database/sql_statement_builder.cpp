#include "database/sql_statement_builder.h"

#include <string>

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/general.h"
#include "base/xml.h"
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

}  // namespace

bool SetupGenerationData(XMLWizData& wizData) {
  SetupLookupAliases(wizData);
  return SetupSQLStatement(wizData);
}

void SetupLookupAliases(XMLWizData& wizData) {
  // Counted once: the aliases written below change no name that is counted.
  const FieldNameCounts names(wizData);
  for (const XmlNode& field : wizData.GetDisplayedFields()) {
    if (!usesDatabaseLookup(wizData, field)) continue;
    std::string showField = wizData.GetSubNodeText(field, wiz::LookupShowField);
    if (names.isUnique(gfsEncaseSQLObject(showField))) continue;
    // An alias written by an earlier run stays even when no longer needed.
    wizData.SetSubNodeText(field, wiz::LookupShowFieldAlias,
                           wizData.GetSubNodeText(field, wiz::LookupTableName) + "_" + showField);
  }
}

bool SetupSQLStatement(XMLWizData& wizData) {
  ErrorTrap trap{wizData.ui(), kModule, "SetupSQLStatement"};
  std::string statement;
  if (!trap([&] {
        const std::string table = gfsEncaseSQLObject(wizData.GetNodeText(wiz::TableName));
        const std::string key = gfsEncaseSQLObject(wizData.GetNodeText(wiz::PrimaryKey));
        const bool jet = wizData.GetNodeText(wiz::DataProvider) == "JET";
        std::string columns;
        std::string joins;
        std::string from = table;
        int lookups = 0;
        bool keyDisplayed = false;

        for (const XmlNode& field : wizData.GetDisplayedFields()) {
          std::string name = gfsEncaseSQLObject(wizData.GetSubNodeText(field, wiz::FieldName));
          if (name == key) keyDisplayed = true;
          columns += table + "." + name + ", ";
          if (!usesDatabaseLookup(wizData, field)) continue;

          ++lookups;
          std::string lookupTable = gfsEncaseSQLObject(wizData.GetSubNodeText(field, wiz::LookupTableName));
          std::string showField = gfsEncaseSQLObject(wizData.GetSubNodeText(field, wiz::LookupShowField));
          std::string aliasText = wizData.GetSubNodeText(field, wiz::LookupShowFieldAlias);
          std::string joinField = gfsEncaseSQLObject(wizData.GetSubNodeText(field, wiz::LookupJoinField));
          columns += lookupTable + "." + showField;
          if (!trimBlanks(aliasText).empty()) columns += " AS " + gfsEncaseSQLObject(aliasText);
          columns += ", ";
          joins += wizData.GetSubNodeText(field, wiz::FieldRequired) == wiz::kTrue ? "INNER JOIN " : "LEFT OUTER JOIN ";
          joins += lookupTable + " ON " + table + "." + name + " = " + lookupTable + "." + joinField + " ";
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
        // A key that is not shown is still selected (first, unqualified):
        // the pages find records by it.
        if (!keyDisplayed && !key.empty()) columns = key + ", " + columns;
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
