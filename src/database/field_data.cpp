#include "database/field_data.h"

#include <memory>
#include <optional>

#include "base/ado_routines.h"
#include "base/error.h"
#include "database/database_connection.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kModule = "frmWizard";

[[noreturn]] void raiseNoObject() {
  raise(err::kObjectNotSet, "TVKWizard", "Object variable or With block variable not set");
}

// The first key, primary keys aside, whose only column is this column.
const db::Key* relatedKey(db::Table& table, const db::Column& column) {
  for (const db::Key& key : table.keys()) {
    if (key.type == db::KeyType::Primary || key.columns.size() != 1) continue;
    if (key.columns[0] == column.name) return &key;
  }
  return nullptr;
}

struct Lookup {
  std::string table;
  std::string joinField;
  std::string showField;
};

struct FieldRecord {
  std::string name;
  int type = 0;
  std::string typeDescription;
  long size = 0;
  std::string_view required;
  std::string_view readOnly;
  std::string_view useLookup;
  std::optional<Lookup> lookup;
  std::string_view sorting;
};

// The lookup a foreign-key column proposes into its related table: the join
// column is the one the key refers to when the related table has it with a
// type that can link (an integer of another width does); otherwise the
// first column of the same name and a compatible type, or the first
// compatible one, or the first that can link. The shown column is the
// first text column other than the join column, or the first other column.
Lookup proposeLookup(db::Catalog& catalog, const db::Column& column, const db::Key& key,
                     const std::string& relatedName) {
  Lookup lookup;
  lookup.table = relatedName;
  const std::vector<db::Column>& related = catalog.table(relatedName).columns();
  const auto compatible = [&](const db::Column& c) { return gfbCompatibleDataType(column.type, c.type); };
  const auto linkable = [&](const db::Column& c) { return gfbLinkableDataType(column.type, c.type); };
  const db::Column* join = nullptr;
  if (!key.relatedColumns.empty() && !key.relatedColumns[0].empty()) {
    for (const db::Column& c : related)
      if (c.name == key.relatedColumns[0] && linkable(c)) join = &c;
  }
  for (const db::Column& c : related) {
    if (join != nullptr) break;
    if (c.name == column.name && compatible(c)) join = &c;
  }
  for (const db::Column& c : related) {
    if (join != nullptr) break;
    if (compatible(c)) join = &c;
  }
  for (const db::Column& c : related) {
    if (join != nullptr) break;
    if (linkable(c)) join = &c;
  }
  if (join != nullptr) lookup.joinField = join->name;

  const db::Column* show = nullptr;
  for (const db::Column& c : related) {
    if (&c != join && gfbIsTextType(c.type)) {
      show = &c;
      break;
    }
  }
  for (const db::Column& c : related) {
    if (show != nullptr) break;
    if (&c != join) show = &c;
  }
  if (show != nullptr) lookup.showField = show->name;
  return lookup;
}

FieldRecord describe(Ui& ui, db::Catalog& catalog, db::Table& table, const db::Column& column,
                     const std::string& primaryKey, bool jet) {
  FieldRecord record;
  ColumnFacts facts = column.facts();
  record.name = column.name;
  record.type = column.type;
  record.typeDescription = gfsDataTypeName(facts);
  record.size = column.definedSize;
  if (gfnBaseDataType(column.type) == adotype::Boolean)
    record.required = wiz::kNA;
  else
    record.required = column.nullable() ? wiz::kFalse : wiz::kTrue;
  bool isPrimary = column.name == primaryKey;
  // Other providers: the key is the database's to fill only when it does
  // (identity, serial, SQLite's rowid, a default); a key the application
  // assigns must be typed in, or every insert fails on NOT NULL.
  if (jet)
    record.readOnly = gfbAutoIncrementField(facts) ? wiz::kTrue : wiz::kFalse;
  else
    record.readOnly = isPrimary && (gfbAutoIncrementField(facts) || column.hasDefault) ? wiz::kTrue : wiz::kFalse;
  std::string_view sortable = gfbSortableFieldType(facts) ? wiz::kTrue : wiz::kNA;

  if (isPrimary) {
    record.useLookup = wiz::kNA;
    record.sorting = sortable;
    return record;
  }
  std::string related = fsRelatedTable(ui, table, column);
  if (related.empty()) {
    record.useLookup = wiz::kFalse;
    record.sorting = sortable;
    return record;
  }
  record.useLookup = wiz::kTrue;
  record.lookup = proposeLookup(catalog, column, *relatedKey(table, column), related);
  record.sorting = wiz::kTrue;
  return record;
}

void writeRecord(XMLWizData& wizData, const XmlNode& fields, const FieldRecord& record) {
  XmlNode field = wizData.AddSubNode(fields, wiz::Field);
  wizData.AddSubNode(field, wiz::FieldName, record.name);
  wizData.AddSubNode(field, wiz::ColumnLabel, record.name);
  wizData.AddSubNode(field, wiz::DataType, std::to_string(record.type));
  wizData.AddSubNode(field, wiz::DataTypeDesc, record.typeDescription);
  wizData.AddSubNode(field, wiz::FieldSize, std::to_string(record.size));
  wizData.AddSubNode(field, wiz::FieldRequired, record.required);
  wizData.AddSubNode(field, wiz::FieldReadOnly, record.readOnly);
  XmlNode lookup = wizData.AddSubNode(field, wiz::LookupTable);
  wizData.AddSubNode(lookup, "UseLookupTable", record.useLookup);
  if (record.lookup) {
    wizData.AddSubNode(lookup, "LookupTableName", record.lookup->table);
    wizData.AddSubNode(lookup, "LookupJoinField", record.lookup->joinField);
    wizData.AddSubNode(lookup, "LookupShowField", record.lookup->showField);
  }
  wizData.AddSubNode(field, wiz::AllowSorting, record.sorting);
}

}  // namespace

void ResetTableData(XMLWizData& wizData) {
  wizData.SetNodeText(wiz::PrimaryKey, "");
  wizData.SetNodeText(wiz::TableReadOnly, "");
  wizData.SetNodeText(wiz::SQLStatement, "");
  SetupXMLFieldData_ADOX(wizData);
}

void SetupXMLFieldData_ADOX(XMLWizData& wizData) {
  ErrorTrap trap{wizData.ui(), kModule, "SetupXMLFieldData_ADOX"};
  std::shared_ptr<db::Catalog> catalog;
  db::Table* table = nullptr;
  if (!trap([&] {
        catalog = foOpenADOXConnection(wizData);
        if (!catalog) raiseNoObject();
        table = &catalog->table(wizData.GetNodeText(wiz::TableName));
      }))
    return;

  std::string primaryKey;
  if (!trap([&] {
        for (const db::Index& index : table->indexes()) {
          if (!index.primaryKey) continue;
          if (index.columns.empty()) raise(err::kSubscript, "TVKWizard", "Subscript out of range");
          primaryKey = index.columns[0];
          wizData.SetNodeText(wiz::PrimaryKey, primaryKey);
          break;
        }
      }))
    return;

  XmlNode fields;
  if (!trap([&] {
        wizData.DeleteNodes(wiz::FieldsField);
        fields = wizData.GetNode(wiz::Fields);
        if (!fields) fields = wizData.appendChild(wizData.createElement(wiz::Fields));
      }))
    return;

  bool jet = wizData.GetNodeText(wiz::DataProvider) == "JET";
  const std::vector<db::Column>* columns = nullptr;
  if (!trap([&] { columns = &table->columns(); })) return;
  for (const db::Column& column : *columns) {
    FieldRecord record;
    if (!trap([&] { record = describe(wizData.ui(), *catalog, *table, column, primaryKey, jet); })) return;
    writeRecord(wizData, fields, record);
  }
}

bool gfbLinkableDataType(int fieldType, int columnType) {
  if (gfbCompatibleDataType(fieldType, columnType)) return true;
  return gfnBaseDataType(fieldType) == adotype::Integer && gfnBaseDataType(columnType) == adotype::Integer;
}

std::string fsRelatedTable(Ui& ui, db::Table& table, const db::Column& column) {
  ErrorTrap trap{ui, kModule, "fsRelatedTable"};
  std::string related;
  trap([&] {
    if (const db::Key* key = relatedKey(table, column)) related = key->relatedTable;
  });
  return related;
}

}  // namespace tvk
