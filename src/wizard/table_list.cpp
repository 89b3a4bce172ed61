#include "wizard/table_list.h"

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/general.h"
#include "base/ui.h"
#include "base/xml.h"
#include "database/database_connection.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kModule = "frmWizard";
constexpr std::string_view kCrLf = "\r\n";

[[noreturn]] void raiseNoObject() {
  raise(err::kObjectNotSet, "TVKWizard", "Object variable or With block variable not set");
}

// What in a table or column name the wizard's SQL cannot carry (names are
// written into statements as they stand, bracketed only for blanks), or the
// empty text: a statement separator, a quote or bracket that would end or
// open a quoted name, "%", "<" and ">" that are no part of a bare name, and
// control characters and broken UTF-8 that no statement, page or project
// file can hold. An apostrophe is refused in a table name, which the page's
// own statement carries; columns such as O'Brien are left to the pages,
// which handle them.
std::string unsafeNamePart(std::string_view name, bool column = false) {
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) return "a control character";
    // A column's name reaches the pages written for each place it stands
    // in (a label "Say "hi" %>" works end to end); only the characters that
    // close a quoted name in some database cannot be carried.
    const std::string_view refused = column ? std::string_view("[]`") : std::string_view(";\"'[]`%<>");
    if (refused.find(c) != std::string_view::npos) return "a \"" + std::string(1, c) + "\"";
  }
  if (!isXmlText(name)) return "bytes that are not UTF-8";
  return {};
}

// A name as a message shows it: control characters and bytes outside
// ASCII of a name that is not UTF-8 as \xNN.
std::string shownName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  bool utf8 = isXmlText(name);
  std::string shown;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || (byte >= 0x80 && !utf8)) {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 15];
    } else {
      shown += c;
    }
  }
  return shown;
}

std::string lines(std::initializer_list<std::string_view> parts) {
  std::string text;
  bool first = true;
  for (std::string_view part : parts) {
    if (!first) text += kCrLf;
    text += part;
    first = false;
  }
  return text;
}

}  // namespace

std::vector<TableListOption> HTMLTableList(XMLWizData& wizData, bool* complete) {
  ErrorTrap trap{wizData.ui(), kModule, "HTMLTableList"};
  std::vector<TableListOption> options;
  std::shared_ptr<db::Catalog> catalog;
  bool failed = false;
  auto step = [&](auto&& body) {
    // Ignore goes on, but the list is then not the whole story.
    bool ran = trap([&] {
      failed = false;  // a retried step starts again
      try {
        body();
      } catch (...) {
        failed = true;
        throw;
      }
    });
    if (complete) *complete = ran && !failed;
    return ran;
  };
  if (!step([&] { catalog = foOpenADOXConnection(wizData); })) return options;
  if (!step([&] {
        if (!catalog) raiseNoObject();
        options.clear();  // a retried listing starts again
        // The catalogue is the session's and remembers what it has read.
        // Showing the list is when the developer expects to see the database
        // as it is now (a table made since the page was last shown, a table
        // changed before it is chosen again), so the list, and what is read
        // of tables after it, comes from the database anew.
        catalog->refresh();
        for (const db::TableEntry& table : catalog->tables()) {
          std::string type = gfsUpper(table.type);
          // A table outside the default schema as "schema.table".
          std::string name = table.displayName();
          if (type == "TABLE")
            options.push_back({name, "T: " + name});
          else if (type == "VIEW")
            options.push_back({name, "V: " + name});
        }
      }))
    return options;
  step([&] {
    if (!catalog) raiseNoObject();
    wizData.SetNodeText(wiz::DataProvider, gfsBaseDSProvider(catalog->providerName()));
    // The pages' SQL quotes names the way this database does.
    wizData.SetNodeText(wiz::SQLDialect,
                        gfsSqlDialectName(gfnDetectSqlDialect(catalog->providerName(), catalog->identifierQuote())));
  });
  return options;
}

std::string fsTableOpenError(XMLWizData& wizData) {
  try {
    std::string name = wizData.GetNodeText(wiz::TableName);
    // The name is written into the statement as it stands: a ";" would let a
    // project file append statements of its own, which some drivers run.
    if (std::string part = unsafeNamePart(name); !part.empty())
      return "The table name " + shownName(name) + " holds " + part + ", which a SQL statement cannot carry";
    std::string statement =
        "SELECT * FROM " + gfsEncaseSQLTable(name, gfnSqlDialect(wizData.GetNodeText(wiz::SQLDialect)));
    std::shared_ptr<db::Connection> connection = fdbConOpenConnection(wizData);
    if (!connection) raiseNoObject();
    connection->execute(statement);
    return {};
  } catch (...) {
    return currentErrorInfo().description;
  }
}

bool fbValidDataSource(XMLWizData& wizData) {
  ErrorTrap trap{wizData.ui(), kModule, "fbValidDataSource"};
  bool valid = false;
  trap([&] {
    std::string name = wizData.GetNodeText(wiz::TableName);
    if (trimBlanks(name).empty()) {
      gMsgBox(wizData.ui(), "Please choose a table in the database", MsgButtons::OK, MsgIcon::Exclamation);
      return;
    }
    std::shared_ptr<db::Catalog> catalog = foOpenADOXConnection(wizData);
    if (!catalog) raiseNoObject();
    db::Table* table = nullptr;
    try {
      table = catalog->findTable(name);
    } catch (const WizError&) {
      table = nullptr;
    }
    if (table == nullptr) {
      gMsgBox(wizData.ui(), "Error : Unable to open the table " + name, MsgButtons::OK, MsgIcon::Exclamation);
      return;
    }
    for (const db::Column& column : table->columns()) {
      if (std::string part = unsafeNamePart(column.name, true); !part.empty()) {
        gMsgBox(wizData.ui(),
                "The column " + shownName(column.name) + " of the table " + shownName(name) + " holds " + part +
                    ", which a SQL statement cannot carry",
                MsgButtons::OK, MsgIcon::Exclamation);
        return;
      }
    }
    const db::Index* primary = nullptr;
    for (const db::Index& index : table->indexes()) {
      if (index.primaryKey) {
        primary = &index;
        break;
      }
    }
    bool listForm = wizData.ProjectType() == wiz::kTypeListForm;
    if (primary != nullptr && primary->columns.size() == 1) {
      wizData.SetNodeText(wiz::TableReadOnly, wiz::kFalse);
      valid = true;
    } else if (primary != nullptr) {
      if (listForm) {
        gMsgBox(wizData.ui(),
                lines({"The Wizard doesn't support List & Form projects", "with tables that have compound primary keys",
                       "(PK's that use multiple fields).", "",
                       "Please choose another table or use back to change project type"}),
                MsgButtons::OK, MsgIcon::Exclamation);
        return;
      }
      gMsgBox(wizData.ui(),
              lines({"The Wizard doesn't support editing tables,", "that have compound primary keys (PK's that",
                     "use multiple fields).", "", "Editing for this table has been disabled"}),
              MsgButtons::OK, MsgIcon::Information);
      wizData.SetNodeText(wiz::TableReadOnly, wiz::kTrue);
      valid = true;
    } else {
      if (listForm) {
        gMsgBox(wizData.ui(),
                lines({"The Wizard doesn't  support List & Form projects", "with tables that don't have primary keys. ",
                       "", "Please choose another table or use back to change project type"}),
                MsgButtons::OK, MsgIcon::Exclamation);
        return;
      }
      gMsgBox(wizData.ui(),
              lines({"The Wizard doesn't support editing tables,", "that don't have primary keys. ", "",
                     "Editing for this table has been disabled"}),
              MsgButtons::OK, MsgIcon::Information);
      wizData.SetNodeText(wiz::TableReadOnly, wiz::kTrue);
      valid = true;
    }
  });
  return valid;
}

}  // namespace tvk
