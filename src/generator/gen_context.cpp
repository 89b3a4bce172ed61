#include "generator/gen_context.h"

#include <charconv>

#include "base/error.h"
#include "base/general.h"
#include "database/unique_names.h"
#include "generator/shared_routines.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {

namespace {

// The text of the first element of a plain child path below `node`, walked
// child by child: the same first match as the XPath path, without compiling
// an expression per value (a generation run reads thousands of them).
std::string childText(const XmlNode& node, std::string_view path) {
  XmlNode current = node;
  while (current && !path.empty()) {
    size_t slash = path.find('/');
    current = current.child(path.substr(0, slash));
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  }
  return current ? current.text() : std::string();
}

std::vector<FieldInfo> readFields(const GenContext& ctx, const XmlNodeList& nodes, const std::string& sqlDialect) {
  std::vector<FieldInfo> fields;
  fields.reserve(nodes.size());
  for (const XmlNode& node : nodes) {
    fields.push_back(readField(node));
    fields.back().sqlDialect = sqlDialect;
    if (fields.back().usesManualList()) fields.back().arrayName = ctx.lookupArrayName(fields.back().name);
  }
  return fields;
}

}  // namespace

bool FieldInfo::isRequired() const { return required == wiz::kTrue; }
bool FieldInfo::isReadOnly() const { return readOnly == wiz::kTrue; }
bool FieldInfo::isSortable() const { return allowSorting == wiz::kTrue; }
bool FieldInfo::usesLookup() const { return useLookup == wiz::kTrue; }
bool FieldInfo::usesDatabaseLookup() const { return usesLookup() && lookupType == wiz::kLookupDatabaseTable; }
bool FieldInfo::usesManualList() const { return usesLookup() && lookupType == wiz::kLookupManualList; }
const std::string& FieldInfo::shownColumn() const { return trimBlanks(alias).empty() ? showField : alias; }
const std::string& FieldInfo::joinedTable() const { return trimBlanks(tableAlias).empty() ? lookupTable : tableAlias; }

FieldInfo readField(const XmlNode& field) {
  // One walk over the record for all its values: a page of ten thousand
  // fields reads them all.
  static constexpr std::string_view kPaths[] = {
      wiz::FieldName,       wiz::ColumnLabel,          wiz::DataType,        wiz::FieldSize,
      wiz::FieldRequired,   wiz::FieldReadOnly,        wiz::AllowSorting,    wiz::UseLookupTable,
      wiz::LookupTableType, wiz::LookupDisplayType,    wiz::LookupTableName, wiz::LookupJoinField,
      wiz::LookupShowField, wiz::LookupShowFieldAlias, wiz::LookupTableAlias};
  std::vector<std::string> texts = childTexts(field, kPaths);
  FieldInfo info;
  std::string* const members[] = {&info.name,       &info.label,       &info.dataType,     &info.size,
                                  &info.required,   &info.readOnly,    &info.allowSorting, &info.useLookup,
                                  &info.lookupType, &info.displayType, &info.lookupTable,  &info.joinField,
                                  &info.showField,  &info.alias,       &info.tableAlias};
  static_assert(std::size(kPaths) == std::size(members));
  for (size_t i = 0; i < texts.size(); ++i) *members[i] = std::move(texts[i]);
  return info;
}

GenContext::GenContext(const XMLWizData& data, std::string templatesDirectory)
    : data_(data), templatesDirectory_(std::move(templatesDirectory)) {}

const std::string& GenContext::text(std::string_view path) const {
  auto known = texts_.find(path);
  if (known == texts_.end()) known = texts_.emplace(std::string(path), data_.GetNodeText(path)).first;
  return known->second;
}

bool GenContext::isTrue(std::string_view path) const { return text(path) == wiz::kTrue; }

std::string GenContext::projectType() const { return data_.ProjectType(); }
std::string GenContext::projectStyle() const { return data_.ProjectStyle(); }
std::string GenContext::projectName() const { return data_.ProjectName(); }

bool GenContext::fieldSortingUsed() const {
  if (!fieldSortingUsed_) fieldSortingUsed_ = data_.FieldSortingUsed();
  return *fieldSortingUsed_;
}

const XmlNodeList& GenContext::manualLists() const {
  if (manualLists_) return *manualLists_;
  // What "Fields/Field/LookupTable[UseLookupTable='TRUE' and
  // LookupTableType='ManualList']" finds, without an XPath run over every
  // field.
  XmlNodeList lists;
  for (const XmlNode& lookup : data_.GetNodes("Fields/Field/LookupTable"))
    if (anySelectedTextIs(lookup, "UseLookupTable", wiz::kTrue) &&
        anySelectedTextIs(lookup, "LookupTableType", wiz::kLookupManualList))
      lists.push_back(lookup);
  return manualLists_.emplace(std::move(lists));
}

const std::vector<std::string>& GenContext::manualListArrays() const {
  if (manualListArrays_) return *manualListArrays_;
  const XmlNodeList& lists = manualLists();
  std::vector<std::string> wanted;
  wanted.reserve(lists.size());
  std::map<std::string, int> uses;  // per folded name
  for (const XmlNode& lookup : lists) {
    XmlNode field = lookup.parent();
    wanted.push_back(fsLookupArrayName(field ? childText(field, wiz::FieldName) : std::string()));
    ++uses[gfsFoldedName(wanted.back())];
  }
  // The names only one list wants are kept first, so that no numbered name
  // takes one of them.
  UniqueNames names;
  for (const std::string& name : wanted)
    if (uses[gfsFoldedName(name)] == 1) names.take(name);
  std::vector<std::string> arrays;
  arrays.reserve(wanted.size());
  for (const std::string& name : wanted) arrays.push_back(uses[gfsFoldedName(name)] == 1 ? name : names.unique(name));
  for (size_t i = 0; i < lists.size(); ++i) {
    XmlNode field = lists[i].parent();
    arrayNames_.try_emplace(field ? childText(field, wiz::FieldName) : std::string(), arrays[i]);
  }
  return manualListArrays_.emplace(std::move(arrays));
}

const std::string& GenContext::lookupArrayName(std::string_view fieldName) const {
  manualListArrays();
  auto known = arrayNames_.find(fieldName);
  if (known == arrayNames_.end())
    known = arrayNames_.emplace(std::string(fieldName), fsLookupArrayName(fieldName)).first;
  return known->second;
}

const std::vector<FieldInfo>& GenContext::listFields() const {
  if (!listFields_) listFields_ = readFields(*this, data_.GetListFieldRecords(), text(wiz::SQLDialect));
  return *listFields_;
}

const std::vector<FieldInfo>& GenContext::formFields() const {
  if (!formFields_) formFields_ = readFields(*this, data_.GetFormFieldRecords(), text(wiz::SQLDialect));
  return *formFields_;
}

std::string GenContext::keyDataType() const {
  std::string key = text(wiz::PrimaryKey);
  if (key.empty()) return {};
  // Compared directly rather than through an XPath predicate, so that a key
  // name holding an apostrophe is found too.
  for (const XmlNode& field : data_.GetFields()) {
    if (childText(field, wiz::FieldName) == key) return childText(field, wiz::DataType);
  }
  return {};
}

ListFlags listFlags(const GenContext& ctx) {
  ListFlags f;
  std::string type = ctx.projectType();
  f.listForm = type == wiz::kTypeListForm;
  if (type == wiz::kTypeList) {
    f.add = ctx.isTrue(wiz::ListAllowAddRecord);
    f.update = ctx.isTrue(wiz::ListAllowUpdateRecord);
    f.remove = ctx.isTrue(wiz::ListAllowDeleteRecord);
  }
  f.actions = f.add || f.update || f.remove;
  f.paging = ctx.isTrue(wiz::AllowPaging);
  f.pageLinks = f.paging && ctx.isTrue(wiz::PageNumberAllowPaging);
  f.navButtons = f.paging && (ctx.isTrue(wiz::ListSkip1Buttons) || ctx.isTrue(wiz::ListSkipEndButtons));
  f.sorting = ctx.fieldSortingUsed();
  f.editColumn = f.listForm || f.update || f.remove;
  return f;
}

FormFlags formFlags(const GenContext& ctx) {
  FormFlags f;
  f.add = ctx.isTrue(wiz::FormAllowAddRecord);
  f.update = ctx.isTrue(wiz::FormAllowUpdateRecord);
  f.remove = ctx.isTrue(wiz::FormAllowDeleteRecord);
  f.any = f.add || f.update || f.remove;
  f.navigation = ctx.isTrue(wiz::AllowNavigation);
  std::string type = ctx.projectType();
  f.listForm = type == wiz::kTypeListForm;
  f.sorted = f.listForm && ctx.fieldSortingUsed();
  return f;
}

bool isWholeNumber(std::string_view text) {
  text = trimBlanks(text);
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

int dataTypeCode(std::string_view text, std::string_view what) {
  std::string_view number = trimBlanks(text);
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || ec != std::errc() || end != number.data() + number.size())
    raise(err::kTypeMismatch, std::string(kModule),
          "Type mismatch: the data type of " + std::string(what) + " is \"" + std::string(text) +
              "\", not a type number");
  return value;
}

std::string trappedRoutine(const GenContext& ctx, std::string_view procedure,
                           const std::function<void(CodePrinter&)>& body) {
  ErrorTrap trap{ctx.data().ui(), kModule, procedure};
  CodePrinter printer;
  if (!trap([&] {
        printer.clear();
        body(printer);
      })) {
    ctx.noteFailure(procedure);
    return {};
  }
  return printer.take();
}

}  // namespace tvk::gen
