// What every routine writer of the page generator shares: the wizard data
// document of one generation run, where the templates are, the fields of
// the list and form pages read once, and the option flags.
//
// Routine writers read the document themselves, as they need; the context
// only keeps what is costly to read again (the ordered field lists, each a
// sort of the fields). The document does not change during a
// generation run, so what is kept stays true.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/xml.h"
#include "generator/code_printer.h"

namespace tvk {
class XMLWizData;
}

namespace tvk::gen {

// The module name under which the generator's failures are reported.
inline constexpr std::string_view kModule = "TVKFileCreator";

// One Fields/Field record as the generators read it. DataTypeDesc is left
// out: it is a caption for the wizard's pages, and what kind of value a
// field holds is decided by its type code (field_types.h).
struct FieldInfo {
  std::string name;          // FieldName
  std::string label;         // ColumnLabel
  std::string dataType;      // DataType (decimal type code as text)
  std::string size;          // FieldSize
  std::string required;      // FieldRequired
  std::string readOnly;      // FieldReadOnly
  std::string allowSorting;  // AllowSorting
  std::string useLookup;     // LookupTable/UseLookupTable
  std::string lookupType;    // LookupTable/LookupTableType
  std::string displayType;   // LookupTable/LookupDisplayType
  std::string lookupTable;   // LookupTable/LookupTableName
  std::string joinField;     // LookupTable/LookupJoinField
  std::string showField;     // LookupTable/LookupShowField
  std::string alias;         // LookupTable/LookupShowFieldAlias
  std::string tableAlias;    // LookupTable/LookupTableAlias
  std::string sqlDialect;    // the project's DatabaseConnection/SQLDialect
  std::string arrayName;     // its hand-made list's array on the page (GenContext::lookupArrayName)

  bool isRequired() const;
  bool isReadOnly() const;
  bool isSortable() const;
  bool usesLookup() const;
  bool usesDatabaseLookup() const;  // lookup on and from a database table
  bool usesManualList() const;      // lookup on and a hand-made list
  // The column that holds the looked-up text: the alias when it is not
  // blank, else the shown column.
  const std::string& shownColumn() const;
  // The name under which the page's statement names the lookup table's
  // columns: its table alias when it is not blank, else the table.
  const std::string& joinedTable() const;
};

FieldInfo readField(const XmlNode& field);

class GenContext {
 public:
  // The templates directory holds Header.txt and the files copied into the
  // web project.
  GenContext(const XMLWizData& data, std::string templatesDirectory);

  const XMLWizData& data() const { return data_; }
  const std::string& templatesDirectory() const { return templatesDirectory_; }

  // The text of an element path ("" when missing), and whether it is "TRUE".
  // Each path is read from the document once per run: the page writers ask
  // for the same project values (the table, the dialect) once per field.
  const std::string& text(std::string_view path) const;
  bool isTrue(std::string_view path) const;

  std::string projectType() const;
  std::string projectStyle() const;
  std::string projectName() const;
  bool fieldSortingUsed() const;

  // The list page's and the form page's fields, in their chosen order.
  const std::vector<FieldInfo>& listFields() const;
  const std::vector<FieldInfo>& formFields() const;

  // The lookups (LookupTable elements) of the fields whose hand-made list
  // is switched on, shown or not, in document order.
  const XmlNodeList& manualLists() const;
  // The arrays the pages hold those lists in, in the same order: "ma" and
  // the field's script name (fsLookupArrayName), numbered "_2", "_3"... for
  // the second and later lists whose names would be the same (VBScript
  // does not tell letter case apart, and every character that cannot stand
  // in a name is "_"). A name no other list shares stays as it is.
  const std::vector<std::string>& manualListArrays() const;
  // The array of the field of that name (fsLookupArrayName's for a field
  // without a hand-made list).
  const std::string& lookupArrayName(std::string_view fieldName) const;

  // The data type text of the primary key's field record; empty when the
  // table has no key or the key has no record.
  std::string keyDataType() const;

  // Routines whose failure was reported and abandoned (the page was written
  // without them); a run with any is not a success.
  void noteFailure(std::string_view procedure) const { failures_.emplace_back(procedure); }
  const std::vector<std::string>& failures() const { return failures_; }

 private:
  const XMLWizData& data_;
  std::string templatesDirectory_;
  mutable std::optional<std::vector<FieldInfo>> listFields_;
  mutable std::optional<std::vector<FieldInfo>> formFields_;
  mutable std::optional<XmlNodeList> manualLists_;
  mutable std::optional<std::vector<std::string>> manualListArrays_;
  mutable std::map<std::string, std::string, std::less<>> arrayNames_;  // by field name
  mutable std::vector<std::string> failures_;
  mutable std::optional<bool> fieldSortingUsed_;
  mutable std::map<std::string, std::string, std::less<>> texts_;
};

// The list page's flags, each computed as the list page documents them.
struct ListFlags {
  bool listForm = false;  // project type "ListForm"
  bool add = false;       // "List" project whose list allows adding
  bool update = false;    // ... updating
  bool remove = false;    // ... deleting
  bool actions = false;   // add or update or remove
  bool paging = false;
  bool pageLinks = false;   // paging with page-number links
  bool navButtons = false;  // paging with step or end buttons
  bool sorting = false;     // a shown field allows sorting
  bool editColumn = false;  // listForm or update or remove
};
ListFlags listFlags(const GenContext& ctx);

// The form page's data action flags.
struct FormFlags {
  bool add = false;
  bool update = false;
  bool remove = false;
  bool any = false;         // add or update or remove
  bool navigation = false;  // the form steps through the records
  bool listForm = false;
  bool sorted = false;  // sorting used and the project has a list page
};
FormFlags formFlags(const GenContext& ctx);

// A data type text as a number; a text that is not a whole number is a
// type mismatch (error 13) naming `what`.
int dataTypeCode(std::string_view text, std::string_view what);
// True when the text is a whole number (blanks around it allowed).
bool isWholeNumber(std::string_view text);
// The text without leading and trailing blanks.

// Runs a routine writer under the generator's error trap, named after the
// writer. Retry starts the routine again; Abort returns the empty text;
// Ignore returns what was written before the failure.
std::string trappedRoutine(const GenContext& ctx, std::string_view procedure,
                           const std::function<void(CodePrinter&)>& body);

}  // namespace tvk::gen
