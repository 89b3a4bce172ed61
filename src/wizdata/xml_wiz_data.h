// The wizard data document: every answer, every schema fact and every derived
// value of one wizard run, addressed by element paths joined with "/".
// Saved to disk it is the project file.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <string_view>

#include "base/xml.h"

namespace tvk {

class Session;
class Ui;

class XMLWizData {
 public:
  static constexpr std::string_view kModule = "XMLWizData";

  // A document of one session: failures that its routines trap are reported
  // through the session's user interface, and routines that work on the
  // document reach the session's resources through it. The session must
  // outlive the document.
  explicit XMLWizData(Session& session);
  XMLWizData(const XMLWizData&) = delete;
  XMLWizData& operator=(const XMLWizData&) = delete;
  XMLWizData(XMLWizData&&) noexcept = default;
  XMLWizData& operator=(XMLWizData&&) noexcept = default;
  ~XMLWizData() = default;

  // Loads a project file. False (and an empty document again) when the file
  // is missing or not well-formed; never shows a message.
  bool Load(const std::string& path);
  // The reason the last Load failed, for callers that tell the user.
  const std::string& lastLoadError() const { return lastLoadError_; }
  // Saves atomically: the previous file stays whole until the new one is
  // complete. Failures pass on as WizError.
  void Save(const std::string& path) const;
  std::string GetXML() const;
  // The text GetXML returns, written to `out` without building it first.
  void WriteXML(std::ostream& out) const;

  XmlNode appendChild(const XmlNode& node);
  XmlNode createElement(std::string_view name);
  XmlNode GetNode(std::string_view path) const;
  XmlNodeList GetNodes(std::string_view path) const;
  std::string GetNodeText(std::string_view path) const;
  void SetNodeText(std::string_view path, std::string_view text);
  XmlNode SetSubNodeText(const XmlNode& node, std::string_view path, std::string_view text);

  XmlNodeList GetDisplayedFields() const;
  XmlNodeList GetListFields() const;
  XmlNodeList GetFormFields() const;
  XmlNodeList GetFields() const;
  // The same records as GetListFields and GetFormFields, in the same order,
  // but the document's own rather than copies, and without a stylesheet
  // transform: for readers that change nothing, such as the generator.
  XmlNodeList GetListFieldRecords() const;
  XmlNodeList GetFormFieldRecords() const;

  XmlNode AddSubNode(const XmlNode& parent, std::string_view name);
  XmlNode AddSubNode(const XmlNode& parent, std::string_view name, std::string_view text);
  std::string GetSubNodeText(const XmlNode& node, std::string_view path) const;
  XmlNode GetSubNode(const XmlNode& node, std::string_view path) const;
  XmlNodeList GetSubNodes(const XmlNode& node, std::string_view path) const;

  bool FieldSortingUsed() const;
  void DeleteNodes(std::string_view path);

  std::string ProjectType() const;
  std::string ProjectName() const;
  std::string ProjectStyle() const;

  // True when the (encased) column name is used at most once among the
  // columns of the SELECT statement being built. Counts every field on each
  // call: a caller asking for many names counts once with FieldNameCounts.
  bool IsUniqueFieldName(std::string_view encasedName) const;

  XmlNode foCreateNode(const XmlNode& start, std::string_view path);
  static std::string FileName(std::string_view path);

  XmlNode root() const;
  Session& session() const { return *session_; }
  Ui& ui() const;
  _xmlDoc* document() const { return doc_.get(); }

 private:
  void InitialiseXML();
  XmlNodeList orderedFields(std::string_view stylesheet, std::string_view resultPath, std::string_view procedure) const;
  XmlNodeList orderedRecords(std::string_view showPath, std::string_view orderPath, std::string_view procedure) const;

  Session* session_;
  XmlDocPtr doc_;
  std::string lastLoadError_;
};

// The (encased) column names of the SELECT statement being built, each with
// the number of times it is used: the primary key, every displayed field and
// the shown column of every database lookup. A snapshot of the document:
// count again after changing a field's name, display or lookup.
class FieldNameCounts {
 public:
  explicit FieldNameCounts(const XMLWizData& data);
  // What IsUniqueFieldName answers, without walking the fields again.
  bool isUnique(std::string_view encasedName) const;

 private:
  std::map<std::string, int, std::less<>> counts_;
};

// The Fields/Field record whose FieldName is exactly `fieldName`, or no node.
// The names are compared as texts rather than spliced into an XPath
// predicate, so a column named O'Brien or "Qty" finds its record like any
// other and can never turn the query into something else.
XmlNode fieldByName(const XMLWizData& wizData, std::string_view fieldName);

// The program version written into new documents ("1.0").
std::string wizardVersion();

}  // namespace tvk
