#include "wizdata/xml_wiz_data.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/ado_routines.h"
#include "base/error.h"
#include "base/fs.h"
#include "base/session.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk {

namespace {

// True when some element at the plain path below the field has the text
// "TRUE" (the predicate [path='TRUE']).
bool flagSet(const XmlNode& field, std::string_view path) { return anySelectedTextIs(field, path, wiz::kTrue); }

}  // namespace

std::string wizardVersion() { return std::to_string(TVK_VERSION_MAJOR) + "." + std::to_string(TVK_VERSION_MINOR); }

XMLWizData::XMLWizData(Session& session) : session_(&session), doc_(newXmlDocument()) { InitialiseXML(); }

Ui& XMLWizData::ui() const { return session_->ui(); }

void XMLWizData::InitialiseXML() {
  ErrorTrap trap{ui(), kModule, "InitialiseXML"};
  XmlNode rootNode;
  if (!trap([&] {
        if (!doc_) doc_ = newXmlDocument();
        rootNode = setRootElement(doc_.get(), wiz::kRoot);
      }))
    return;
  trap([&] { rootNode.setAttribute(wiz::kVersionAttribute, wizardVersion()); });
}

XmlNode XMLWizData::root() const { return rootElement(doc_.get()); }

bool XMLWizData::Load(const std::string& path) {
  lastLoadError_.clear();
  XmlDocPtr loaded = parseXmlFile(path, &lastLoadError_);
  if (!loaded) {
    doc_ = newXmlDocument();
    InitialiseXML();
    return false;
  }
  doc_ = std::move(loaded);
  return true;
}

void XMLWizData::Save(const std::string& path) const { saveXmlAtomic(doc_.get(), path); }

std::string XMLWizData::GetXML() const { return serializeXml(doc_.get()); }

void XMLWizData::WriteXML(std::ostream& out) const { writeXml(doc_.get(), out); }

XmlNode XMLWizData::appendChild(const XmlNode& node) { return appendXmlChild(root(), node); }

XmlNode XMLWizData::createElement(std::string_view name) { return createXmlElement(doc_.get(), name); }

XmlNode XMLWizData::GetNode(std::string_view path) const { return selectNode(root(), path); }

XmlNodeList XMLWizData::GetNodes(std::string_view path) const { return selectNodes(root(), path); }

std::string XMLWizData::GetNodeText(std::string_view path) const {
  XmlNode node = GetNode(path);
  return node ? node.text() : std::string();
}

void XMLWizData::SetNodeText(std::string_view path, std::string_view text) {
  ErrorTrap trap{ui(), kModule, "SetNodeText"};
  XmlNode node;
  if (!trap([&] { node = GetNode(path); })) return;
  if (!node && !trap([&] { node = foCreateNode(root(), path); })) return;
  trap([&] {
    if (!node) raise(err::kObjectNotSet, std::string(kModule), "Object variable not set");
    node.setText(text);
  });
}

XmlNode XMLWizData::SetSubNodeText(const XmlNode& start, std::string_view path, std::string_view text) {
  ErrorTrap trap{ui(), kModule, "SetSubNodeText"};
  XmlNode node;
  if (!trap([&] { node = selectNode(start, path); })) return {};
  if (!node && !trap([&] { node = foCreateNode(start, path); })) return {};
  if (!trap([&] {
        if (!node) raise(err::kObjectNotSet, std::string(kModule), "Object variable not set");
        node.setText(text);
      }))
    return {};
  return node;
}

XmlNodeList XMLWizData::GetDisplayedFields() const {
  ErrorTrap trap{ui(), kModule, "GetDisplayedFields"};
  XmlNodeList nodes;
  // The fields shown on the form page or the list page, in document order:
  // what "Fields/Field[FormFieldOptions/ShowField='TRUE'] |
  // Fields/Field[ListFieldOptions/ShowField='TRUE']" selects, walked once
  // instead, since libxml2 merges the two sides of a union by comparing
  // every node of one with every node of the other.
  if (!trap([&] {
        for (const XmlNode& field : GetNodes(wiz::FieldsField))
          if (flagSet(field, wiz::FormShowField) || flagSet(field, wiz::ListShowField)) nodes.push_back(field);
      }))
    return {};
  return nodes;
}

XmlNodeList XMLWizData::orderedFields(std::string_view stylesheet, std::string_view resultPath,
                                      std::string_view procedure) const {
  ErrorTrap trap{ui(), kModule, procedure};
  std::shared_ptr<_xmlDoc> result;
  if (!trap([&] { result = transformWithStylesheet(doc_.get(), files::join(files::programDirectory(), stylesheet)); }))
    return {};
  XmlNodeList nodes;
  if (!trap([&] {
        XmlNode resultRoot(xmlDocGetRootElement(result.get()), result);
        if (!resultRoot) raise(err::kXml, "XML", "The field-order stylesheet produced no document");
        // The result path is given from the document node: "ListFields/Field".
        nodes = selectNodes(resultRoot, "/" + std::string(resultPath));
      }))
    return {};
  return nodes;
}

XmlNodeList XMLWizData::GetListFields() const {
  return orderedFields("ListFields.xsl", "ListFields/Field", "GetListFields");
}

XmlNodeList XMLWizData::GetFormFields() const {
  return orderedFields("FormFields.xsl", "FormFields/Field", "GetFormFields");
}

XmlNodeList XMLWizData::orderedRecords(std::string_view showPath, std::string_view orderPath,
                                       std::string_view procedure) const {
  ErrorTrap trap{ui(), kModule, procedure};
  XmlNodeList nodes;
  // What the field-order stylesheets select and how they sort: the shown
  // fields, by the number their first order element holds (XPath's number
  // rule: no number is NaN, and NaN comes first), equal keys in document
  // order.
  if (!trap([&] {
        struct Keyed {
          double order;
          XmlNode field;
        };
        std::vector<Keyed> keyed;
        for (const XmlNode& field : GetNodes(wiz::FieldsField)) {
          if (!flagSet(field, showPath)) continue;
          XmlNode order = selectNode(field, orderPath);
          const std::string text = order ? order.text() : std::string();
          keyed.push_back({xmlXPathCastStringToNumber(reinterpret_cast<const xmlChar*>(text.c_str())), field});
        }
        std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
          if (std::isnan(a.order)) return !std::isnan(b.order);
          return !std::isnan(b.order) && a.order < b.order;
        });
        nodes.reserve(keyed.size());
        for (Keyed& entry : keyed) nodes.push_back(std::move(entry.field));
      }))
    return {};
  return nodes;
}

XmlNodeList XMLWizData::GetListFieldRecords() const {
  return orderedRecords(wiz::ListShowField, wiz::ListFieldOrder, "GetListFields");
}

XmlNodeList XMLWizData::GetFormFieldRecords() const {
  return orderedRecords(wiz::FormShowField, wiz::FormFieldOrder, "GetFormFields");
}

XmlNodeList XMLWizData::GetFields() const {
  ErrorTrap trap{ui(), kModule, "GetFields"};
  XmlNodeList nodes;
  if (!trap([&] { nodes = GetNodes(wiz::FieldsField); })) return {};
  return nodes;
}

XmlNode XMLWizData::AddSubNode(const XmlNode& parent, std::string_view name) {
  ErrorTrap trap{ui(), kModule, "AddSubNode"};
  XmlNode node;
  if (!trap([&] { node = createXmlElement(doc_.get(), name); })) return {};
  if (!trap([&] { node = appendXmlChild(parent, node); })) {
    removeXmlNode(node);  // never attached: free it
    return {};
  }
  return node;
}

XmlNode XMLWizData::AddSubNode(const XmlNode& parent, std::string_view name, std::string_view text) {
  XmlNode node = AddSubNode(parent, name);
  if (!node) return {};
  ErrorTrap trap{ui(), kModule, "AddSubNode"};
  trap([&] { node.setText(text); });
  return node;
}

std::string XMLWizData::GetSubNodeText(const XmlNode& node, std::string_view path) const {
  ErrorTrap trap{ui(), kModule, "GetSubNodeText"};
  std::string text;
  if (!trap([&] {
        XmlNode found = selectNode(node, path);
        if (found) text = found.text();
      }))
    return {};
  return text;
}

XmlNode XMLWizData::GetSubNode(const XmlNode& node, std::string_view path) const {
  ErrorTrap trap{ui(), kModule, "GetSubNode"};
  XmlNode found;
  if (!trap([&] { found = selectNode(node, path); })) return {};
  return found;
}

XmlNodeList XMLWizData::GetSubNodes(const XmlNode& node, std::string_view path) const {
  ErrorTrap trap{ui(), kModule, "GetSubNodes"};
  XmlNodeList found;
  if (!trap([&] { found = selectNodes(node, path); })) return {};
  return found;
}

bool XMLWizData::FieldSortingUsed() const {
  ErrorTrap trap{ui(), kModule, "FieldSortingUsed"};
  std::string type;
  if (!trap([&] {
        XmlNode node = GetNode(wiz::ProjectType);
        if (!node) raise(err::kObjectNotSet, std::string(kModule), "Object variable not set (ProjectType)");
        type = node.text();
      }))
    return false;
  // A field that allows sorting and is shown on a page of the project: what
  // "Fields/Field[AllowSorting='TRUE' and ListFieldOptions/ShowField='TRUE']"
  // (or the form's, or either) finds, walked until the first one instead of
  // an XPath run over every field.
  bool list = type == wiz::kTypeList || type == wiz::kTypeListForm;
  bool form = type == wiz::kTypeForm || type == wiz::kTypeListForm;
  if (!list && !form) return false;
  bool found = false;
  if (!trap([&] {
        for (const XmlNode& field : GetNodes(wiz::FieldsField)) {
          if (flagSet(field, wiz::AllowSorting) &&
              ((list && flagSet(field, wiz::ListShowField)) || (form && flagSet(field, wiz::FormShowField)))) {
            found = true;
            return;
          }
        }
      }))
    return false;
  return found;
}

void XMLWizData::DeleteNodes(std::string_view path) {
  ErrorTrap trap{ui(), kModule, "DeleteNodes"};
  XmlNodeList nodes;
  if (!trap([&] { nodes = GetNodes(path); })) return;
  for (const XmlNode& node : nodes) {
    // The root itself has no element parent and stays.
    if (!trap([&] {
          if (!node.parent()) raise(err::kInvalidCall, std::string(kModule), "The root element cannot be removed");
          removeXmlNode(node);
        }))
      return;
  }
}

std::string XMLWizData::ProjectType() const { return GetNodeText(wiz::ProjectType); }
std::string XMLWizData::ProjectName() const { return GetNodeText(wiz::ProjectName); }
std::string XMLWizData::ProjectStyle() const { return GetNodeText(wiz::ProjectStyle); }

bool XMLWizData::IsUniqueFieldName(std::string_view encasedName) const {
  return FieldNameCounts(*this).isUnique(encasedName);
}

FieldNameCounts::FieldNameCounts(const XMLWizData& data) {
  ++counts_[gfsEncaseSQLObject(data.GetNodeText(wiz::PrimaryKey))];
  for (const XmlNode& field : data.GetDisplayedFields()) {
    auto sub = [&](std::string_view path) {
      XmlNode node = selectNode(field, path);
      return node ? node.text() : std::string();
    };
    ++counts_[gfsEncaseSQLObject(sub(wiz::FieldName))];
    if (sub(wiz::LookupTableType) == wiz::kLookupDatabaseTable && sub(wiz::UseLookupTable) == wiz::kTrue)
      ++counts_[gfsEncaseSQLObject(sub(wiz::LookupShowField))];
  }
}

bool FieldNameCounts::isUnique(std::string_view encasedName) const {
  auto found = counts_.find(encasedName);
  return found == counts_.end() || found->second < 2;
}

XmlNode XMLWizData::foCreateNode(const XmlNode& start, std::string_view path) {
  ErrorTrap trap{ui(), kModule, "foCreateNode"};
  XmlNode current = start;
  size_t position = 0;
  for (;;) {
    size_t slash = path.find('/', position);
    std::string_view step =
        path.substr(position, slash == std::string_view::npos ? std::string_view::npos : slash - position);
    XmlNode next;
    if (!trap([&] {
          next = selectNode(current, step);
          if (!next) next = current.appendElement(step);
        }))
      return {};
    if (next) current = next;
    if (slash == std::string_view::npos) break;
    position = slash + 1;
  }
  return current;
}

std::string XMLWizData::FileName(std::string_view path) {
  size_t separator = path.find_last_of("/\\");
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

XmlNode fieldByName(const XMLWizData& wizData, std::string_view fieldName) {
  for (const XmlNode& field : wizData.GetFields()) {
    XmlNode name = field.child(wiz::FieldName);
    if (name && name.text() == fieldName) return field;
  }
  return {};
}

}  // namespace tvk
