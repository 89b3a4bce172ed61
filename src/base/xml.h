// Small RAII owners over libxml2 and libxslt, keeping the C headers out of the
// rest of the system.
//
// XmlNode is a non-owning handle to an element, valid while its document
// lives; nodes that belong to a transform result carry a share of that
// document, so they stay valid for as long as anyone holds them.
#pragma once

#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace tvk {

struct XmlDocDeleter {
  void operator()(_xmlDoc* doc) const noexcept;
};
using XmlDocPtr = std::unique_ptr<_xmlDoc, XmlDocDeleter>;

class XmlNode {
 public:
  XmlNode() = default;
  explicit XmlNode(_xmlNode* node, std::shared_ptr<const _xmlDoc> keepAlive = {})
      : node_(node), keepAlive_(std::move(keepAlive)) {}

  explicit operator bool() const noexcept { return node_ != nullptr; }
  bool operator==(const XmlNode& other) const noexcept { return node_ == other.node_; }

  _xmlNode* get() const noexcept { return node_; }
  const std::shared_ptr<const _xmlDoc>& keepAlive() const noexcept { return keepAlive_; }

  std::string name() const;
  // Concatenated text of the node and its descendants (the DOM's `text`).
  std::string text() const;
  // Replaces all content by one text node (no text node for the empty text).
  void setText(std::string_view text) const;
  std::string attribute(std::string_view name) const;
  void setAttribute(std::string_view name, std::string_view value) const;
  XmlNode parent() const;
  // Element children in document order.
  std::vector<XmlNode> children() const;
  // First element child of that name, or no node.
  XmlNode child(std::string_view name) const;
  // New element of that name appended as the last child; text set when given.
  XmlNode appendElement(std::string_view name) const;
  XmlNode appendElement(std::string_view name, std::string_view text) const;

 private:
  _xmlNode* node_ = nullptr;
  std::shared_ptr<const _xmlDoc> keepAlive_;
};

using XmlNodeList = std::vector<XmlNode>;

// Parses a file; on failure returns no document and fills *error with the
// reason: the file's ("the file does not exist", "permission denied", "is a
// directory", "is not a regular file") or the parser's message. A document
// with a document type declaration is refused: entities are never expanded
// and no DTD is read. No output on stderr.
XmlDocPtr parseXmlFile(const std::string& path, std::string* error);
XmlDocPtr parseXmlText(std::string_view text, std::string* error);

// Reads a document file whole, refusing what is not a readable regular file
// (a FIFO is refused without waiting for a writer). Returns the empty text,
// or the reason as parseXmlFile gives it.
std::string readDocumentFile(const std::string& path, std::string& text);

// A new document holding no root yet.
XmlDocPtr newXmlDocument();

XmlNode rootElement(_xmlDoc* doc);
// Sets (replacing any) the document's root element.
XmlNode setRootElement(_xmlDoc* doc, std::string_view name);
// A new element of the document that is not yet attached.
XmlNode createXmlElement(_xmlDoc* doc, std::string_view name);
// A new text node of the document, not yet attached. Texts of up to
// kSharedTextLength bytes are shared through the document's dictionary (when
// it has one) instead of copied into each node.
inline constexpr size_t kSharedTextLength = 24;
_xmlNode* newXmlText(_xmlDoc* doc, std::string_view text);
// Appends an unattached (or moved) node under parent; returns it.
XmlNode appendXmlChild(const XmlNode& parent, const XmlNode& child);
// Unlinks and frees the node.
void removeXmlNode(const XmlNode& node);

// XPath 1.0 evaluated with `context` as context node. An invalid expression
// throws WizError (err::kXml). Results that are not node sets yield no nodes.
XmlNodeList selectNodes(const XmlNode& context, std::string_view xpath);
XmlNode selectNode(const XmlNode& context, std::string_view xpath);

// True when some element the path selects below `node` has the text `text`:
// XPath's predicate [path='text'], without an XPath run.
bool anySelectedTextIs(const XmlNode& node, std::string_view path, std::string_view text);

// The texts of several plain paths below `node` ("Name", "Lookup/Table"),
// read in one walk over its children: texts[i] is the text of the first
// element paths[i] names, as selectNode would find it, or "" when there is
// none. A record of many values is read without a walk per value.
std::vector<std::string> childTexts(const XmlNode& node, std::span<const std::string_view> paths);

// True when the text is UTF-8 made only of characters XML 1.0 can hold (no
// control characters other than tab, line feed and carriage return).
bool isXmlText(std::string_view text);

// Serialised document: XML declaration, UTF-8, indented. A document holding
// text XML cannot hold is refused (WizError naming the element) before
// anything is written.
std::string serializeXml(_xmlDoc* doc);
// The same text written to a stream as it is produced.
void writeXml(_xmlDoc* doc, std::ostream& out);

// Writes the document to `path` atomically (temporary file in the same
// folder, then rename), so a failure never leaves a half-written file.
void saveXmlAtomic(_xmlDoc* doc, const std::string& path);

// Applies the XSLT stylesheet file to the document; the result document is
// shared so nodes selected from it may outlive the call.
std::shared_ptr<_xmlDoc> transformWithStylesheet(_xmlDoc* doc, const std::string& stylesheetPath);

// The versions of libxml2 and libxslt the program runs with ("2.9.14").
std::string libxmlVersion();
std::string libxsltVersion();

}  // namespace tvk
