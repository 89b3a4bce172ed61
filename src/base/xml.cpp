#include "base/xml.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltconfig.h>
#include <libxslt/xsltutils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <ostream>

#include "base/error.h"
#include "base/fs.h"

namespace tvk {

namespace {

constexpr std::string_view kSource = "XML";

const xmlChar* xc(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

std::string fromXml(const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

struct ParserContextFree {
  void operator()(xmlParserCtxt* p) const noexcept { xmlFreeParserCtxt(p); }
};

struct XmlCharFree {
  void operator()(xmlChar* p) const noexcept { xmlFree(p); }
};
using XmlString = std::unique_ptr<xmlChar, XmlCharFree>;

struct XPathContextFree {
  void operator()(xmlXPathContext* p) const noexcept { xmlXPathFreeContext(p); }
};
struct XPathObjectFree {
  void operator()(xmlXPathObject* p) const noexcept { xmlXPathFreeObject(p); }
};
// libxslt, loaded when a stylesheet is applied instead of at every start of
// the program: only the field-order transforms use it, and a short command
// such as `schema` never does. Once mapped the library stays.
class Xslt {
 public:
  Xslt() {
    library_.reset(dlopen("libxslt.so.1", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!library_) {
      const char* reason = dlerror();
      raise(err::kXml, std::string(kSource), std::string("libxslt cannot be loaded: ") + (reason ? reason : "?"));
    }
    bind("xsltParseStylesheetDoc", parseStylesheetDoc);
    bind("xsltFreeStylesheet", freeStylesheet);
    bind("xsltNewTransformContext", newTransformContext);
    bind("xsltFreeTransformContext", freeTransformContext);
    bind("xsltSetGenericErrorFunc", setGenericErrorFunc);
    bind("xsltSetTransformErrorFunc", setTransformErrorFunc);
    bind("xsltApplyStylesheetUser", applyStylesheetUser);
  }

  decltype(&::xsltParseStylesheetDoc) parseStylesheetDoc = nullptr;
  decltype(&::xsltFreeStylesheet) freeStylesheet = nullptr;
  decltype(&::xsltNewTransformContext) newTransformContext = nullptr;
  decltype(&::xsltFreeTransformContext) freeTransformContext = nullptr;
  decltype(&::xsltSetGenericErrorFunc) setGenericErrorFunc = nullptr;
  decltype(&::xsltSetTransformErrorFunc) setTransformErrorFunc = nullptr;
  decltype(&::xsltApplyStylesheetUser) applyStylesheetUser = nullptr;

 private:
  template <class Function>
  void bind(const char* name, Function& function) {
    void* address = dlsym(library_.get(), name);
    if (address == nullptr) raise(err::kXml, std::string(kSource), std::string("libxslt has no function ") + name);
    static_assert(sizeof function == sizeof address);
    std::memcpy(&function, &address, sizeof function);
  }

  struct Close {
    void operator()(void* library) const noexcept { dlclose(library); }
  };
  std::unique_ptr<void, Close> library_;
};

struct StylesheetFree {
  const Xslt* xslt;
  void operator()(xsltStylesheet* p) const noexcept { xslt->freeStylesheet(p); }
};
struct TransformContextFree {
  const Xslt* xslt;
  void operator()(xsltTransformContext* p) const noexcept { xslt->freeTransformContext(p); }
};

// Collects libxml2's structured errors instead of printing them.
void collectError(void* userData, xmlErrorPtr error) {
  auto* message = static_cast<std::string*>(userData);
  if (!message || !error || !error->message) return;
  if (!message->empty()) return;  // the first error is the telling one
  *message = error->message;
  while (!message->empty() && (message->back() == '\n' || message->back() == ' ')) message->pop_back();
  if (error->line > 0) *message += " (line " + std::to_string(error->line) + ")";
}

// libxslt reports through a generic printf-style callback.
void collectGeneric(void* userData, const char* format, ...) {
  auto* message = static_cast<std::string*>(userData);
  if (!message) return;
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  *message += buffer;
}

// A document type declaration stops the parser before its internal subset
// is read: the wizard's documents never have one, and entities declared
// there could expand a small file into gigabytes or pull in other files.
void refuseDoctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
  // Only these handlers stop the parser, so the stop marks the refusal.
  xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

void refuseEntity(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
  refuseDoctype(context, nullptr, nullptr, nullptr);
}

constexpr std::string_view kDoctypeRefused =
    "the document has a document type declaration (DOCTYPE); TVK Wizard files have none, and entities are never "
    "expanded";

XmlDocPtr parse(std::string_view text, const std::string* url, std::string* error) {
  if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
    if (error) *error = "the document is too large";
    return nullptr;
  }
  std::string message;
  std::unique_ptr<xmlParserCtxt, ParserContextFree> ctxt{xmlNewParserCtxt()};
  if (!ctxt || !ctxt->sax) {
    if (error) *error = "out of memory";
    return nullptr;
  }
  ctxt->sax->internalSubset = refuseDoctype;
  ctxt->sax->externalSubset = refuseDoctype;
  ctxt->sax->entityDecl = refuseEntity;
  // Neither entity substitution (XML_PARSE_NOENT) nor loading a DTD.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  xmlDocPtr doc = xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()),
                                    url ? url->c_str() : nullptr, nullptr, options);
  if (ctxt->errNo == XML_ERR_USER_STOP) {
    if (doc) xmlFreeDoc(doc);
    if (error) *error = std::string(kDoctypeRefused);
    return nullptr;
  }
  if (!doc) collectError(&message, xmlCtxtGetLastError(ctxt.get()));
  if (!doc && error) *error = message.empty() ? "cannot be parsed" : message;
  if (doc && !xmlDocGetRootElement(doc)) {
    xmlFreeDoc(doc);
    if (error) *error = "the document has no root element";
    return nullptr;
  }
  return XmlDocPtr(doc);
}

}  // namespace

void XmlDocDeleter::operator()(_xmlDoc* doc) const noexcept { xmlFreeDoc(doc); }

std::string XmlNode::name() const { return node_ ? fromXml(node_->name) : std::string(); }

std::string XmlNode::text() const {
  if (!node_) return {};
  // Most elements hold one text node: its content is the text as it stands.
  if (xmlNodePtr only = node_->children; only && !only->next && only->type == XML_TEXT_NODE && only->content)
    return reinterpret_cast<const char*>(only->content);
  XmlString content{xmlNodeGetContent(node_)};
  return fromXml(content.get());
}

void XmlNode::setText(std::string_view text) const {
  if (!node_) raise(err::kObjectNotSet, std::string(kSource), "Object variable not set");
  // Replace all content by one literal text node (no entity interpretation).
  xmlNodePtr child = node_->children;
  while (child) {
    xmlNodePtr next = child->next;
    xmlUnlinkNode(child);
    xmlFreeNode(child);
    child = next;
  }
  if (!text.empty()) xmlAddChild(node_, newXmlText(node_->doc, text));
}

std::string XmlNode::attribute(std::string_view name) const {
  if (!node_) return {};
  XmlString value{xmlGetProp(node_, xc(std::string(name)))};
  return fromXml(value.get());
}

void XmlNode::setAttribute(std::string_view name, std::string_view value) const {
  if (!node_) raise(err::kObjectNotSet, std::string(kSource), "Object variable not set");
  xmlSetProp(node_, xc(std::string(name)), xc(std::string(value)));
}

XmlNode XmlNode::parent() const {
  if (!node_ || !node_->parent || node_->parent->type != XML_ELEMENT_NODE) return {};
  return XmlNode(node_->parent, keepAlive_);
}

std::vector<XmlNode> XmlNode::children() const {
  std::vector<XmlNode> result;
  if (!node_) return result;
  for (xmlNodePtr c = node_->children; c; c = c->next)
    if (c->type == XML_ELEMENT_NODE) result.emplace_back(c, keepAlive_);
  return result;
}

XmlNode XmlNode::child(std::string_view name) const {
  if (!node_) return {};
  for (xmlNodePtr c = node_->children; c; c = c->next)
    if (c->type == XML_ELEMENT_NODE && c->name && name == std::string_view(reinterpret_cast<const char*>(c->name)))
      return XmlNode(c, keepAlive_);
  return {};
}

XmlNode XmlNode::appendElement(std::string_view name) const {
  if (!node_) raise(err::kObjectNotSet, std::string(kSource), "Object variable not set");
  XmlNode element = createXmlElement(node_->doc, name);
  return appendXmlChild(*this, element);
}

XmlNode XmlNode::appendElement(std::string_view name, std::string_view text) const {
  XmlNode element = appendElement(name);
  element.setText(text);
  return element;
}

XmlDocPtr parseXmlFile(const std::string& path, std::string* error) {
  std::string text;
  std::string problem = readDocumentFile(path, text);
  if (!problem.empty()) {
    if (error) *error = problem;
    return nullptr;
  }
  return parse(text, &path, error);
}

XmlDocPtr parseXmlText(std::string_view text, std::string* error) { return parse(text, nullptr, error); }

std::string readDocumentFile(const std::string& path, std::string& text) {
  // Opened without waiting, so that a FIFO is refused instead of blocking.
  files::FileHandle fd{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (!fd) {
    int error = errno;
    switch (error) {
      case ENOENT:
        return "the file does not exist";
      case EACCES:
      case EPERM:
        return "permission denied";
      case EISDIR:
        return "is a directory";
      default:
        return std::strerror(error);
    }
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return std::strerror(errno);
  if (S_ISDIR(st.st_mode)) return "is a directory";
  if (!S_ISREG(st.st_mode)) return "is not a regular file";
  try {
    text = files::readAll(fd.get(), path);
  } catch (const WizError& e) {
    return e.description();
  }
  return {};
}

XmlDocPtr newXmlDocument() {
  XmlDocPtr doc(xmlNewDoc(BAD_CAST "1.0"));
  // Element and attribute names are kept once in the document's dictionary,
  // as a parsed document keeps them, instead of once per node: a document of
  // some hundred fields repeats a dozen names thousands of times.
  if (doc) doc->dict = xmlDictCreate();
  if (doc && !doc->dict) throw std::bad_alloc();
  return doc;
}

XmlNode rootElement(_xmlDoc* doc) { return doc ? XmlNode(xmlDocGetRootElement(doc)) : XmlNode(); }

XmlNode setRootElement(_xmlDoc* doc, std::string_view name) {
  XmlNode root = createXmlElement(doc, name);
  xmlNodePtr old = xmlDocSetRootElement(doc, root.get());
  if (old) xmlFreeNode(old);
  return root;
}

// True for a name an element may have. The document's own names are plain
// ASCII and answered here; anything else asks libxml2's full rule.
static bool validName(const std::string& name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  bool plain = letter(name[0]);
  for (size_t i = 1; plain && i < name.size(); ++i) {
    char c = name[i];
    plain = letter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
  }
  return plain || xmlValidateNCName(xc(name), 0) == 0;
}

_xmlNode* newXmlText(_xmlDoc* doc, std::string_view text) {
  const auto* bytes = reinterpret_cast<const xmlChar*>(text.data());
  const int length = static_cast<int>(text.size());
  // Short texts repeat ("TRUE", "0", a type's name): they are kept once in
  // the document's dictionary, as libxml2's own parser keeps short text,
  // instead of once per node. libxml2 frees and changes such text knowing
  // the dictionary owns it.
  if (doc && doc->dict && text.size() <= kSharedTextLength) {
    const xmlChar* shared = xmlDictLookup(doc->dict, bytes, length);
    xmlNodePtr node = shared ? xmlNewDocText(doc, nullptr) : nullptr;
    if (!node) throw std::bad_alloc();
    node->content = const_cast<xmlChar*>(shared);
    return node;
  }
  xmlNodePtr node = xmlNewDocTextLen(doc, bytes, length);
  if (!node) throw std::bad_alloc();
  return node;
}

XmlNode createXmlElement(_xmlDoc* doc, std::string_view name) {
  const std::string text(name);
  if (!validName(text)) raise(err::kXml, std::string(kSource), "'" + text + "' is not a valid element name");
  xmlNodePtr node = xmlNewDocNode(doc, nullptr, xc(text), nullptr);
  if (!node) throw std::bad_alloc();
  return XmlNode(node);
}

XmlNode appendXmlChild(const XmlNode& parent, const XmlNode& child) {
  if (!parent || !child) raise(err::kObjectNotSet, std::string(kSource), "Object variable not set");
  if (child.get()->parent) xmlUnlinkNode(child.get());
  if (!xmlAddChild(parent.get(), child.get())) raise(err::kXml, std::string(kSource), "The node cannot be appended");
  return XmlNode(child.get(), parent.keepAlive());
}

void removeXmlNode(const XmlNode& node) {
  if (!node) return;
  xmlUnlinkNode(node.get());
  xmlFreeNode(node.get());
}

namespace {

// True for a path of plain element names joined by "/" ("Fields/Field"):
// ASCII names without prefix, predicate, axis or function, which the XPath
// engine would take as child steps with a name test each.
bool isPlainPath(std::string_view xpath) {
  if (xpath.empty()) return false;
  bool stepStart = true;
  for (char c : xpath) {
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    if (stepStart) {
      if (!letter) return false;
      stepStart = false;
    } else if (c == '/') {
      stepStart = true;
    } else if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '.') {
      return false;
    }
  }
  return !stepStart;
}

// True when the node's name is `name` (compared without measuring the
// node's name first: the walks below compare every child they pass).
bool hasName(xmlNodePtr node, std::string_view name) {
  const auto* own = reinterpret_cast<const char*>(node->name);
  return own != nullptr && std::strncmp(own, name.data(), name.size()) == 0 && own[name.size()] == '\0';
}

// Walks a plain path child by child, collecting in document order what the
// XPath engine would find (elements of that name in no namespace); stops at
// the first match when `first` is set. The wizard asks the document many
// small questions of this kind, and an XPath context per question costs
// far more than the walk.
bool walkPlainPath(xmlNodePtr node, std::string_view path, const XmlNode& context, bool first, XmlNodeList& out) {
  size_t slash = path.find('/');
  std::string_view name = path.substr(0, slash);
  std::string_view rest = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  for (xmlNodePtr child = node->children; child; child = child->next) {
    if (child->type != XML_ELEMENT_NODE || child->ns != nullptr || !hasName(child, name)) continue;
    if (rest.empty()) {
      out.emplace_back(child, context.keepAlive());
      if (first) return true;
    } else if (walkPlainPath(child, rest, context, first, out) && first) {
      return true;
    }
  }
  return false;
}

XmlNodeList evaluate(const XmlNode& context, std::string_view xpath, bool first) {
  XmlNodeList result;
  if (!context) raise(err::kObjectNotSet, std::string(kSource), "Object variable not set");
  if (isPlainPath(xpath)) {
    walkPlainPath(context.get(), xpath, context, first, result);
    return result;
  }
  std::unique_ptr<xmlXPathContext, XPathContextFree> ctx{xmlXPathNewContext(context.get()->doc)};
  if (!ctx) throw std::bad_alloc();
  std::string message;
  ctx->error = collectError;
  ctx->userData = &message;
  ctx->node = context.get();
  std::string expr{xpath};
  std::unique_ptr<xmlXPathObject, XPathObjectFree> obj{xmlXPathEvalExpression(xc(expr), ctx.get())};
  if (!obj) {
    raise(err::kXml, std::string(kSource), "Invalid path '" + expr + "'" + (message.empty() ? "" : ": " + message));
  }
  if (obj->type == XPATH_NODESET && obj->nodesetval) {
    xmlNodeSetPtr set = obj->nodesetval;
    result.reserve(static_cast<size_t>(set->nodeNr));
    for (int i = 0; i < set->nodeNr; ++i) result.emplace_back(set->nodeTab[i], context.keepAlive());
  }
  return result;
}

}  // namespace

XmlNodeList selectNodes(const XmlNode& context, std::string_view xpath) { return evaluate(context, xpath, false); }

bool anySelectedTextIs(const XmlNode& node, std::string_view path, std::string_view text) {
  for (const XmlNode& found : selectNodes(node, path))
    if (found.text() == text) return true;
  return false;
}

namespace {

struct PendingPath {
  std::string_view path;  // what is left of it below the current node
  size_t index;           // where its text goes
};

// One walk over the element children of `node` for all the pending paths;
// a child that starts some of them is walked once for all of those.
void readPendingTexts(xmlNodePtr node, const std::vector<PendingPath>& pending, std::vector<std::string>& texts,
                      std::vector<bool>& found) {
  std::vector<PendingPath> below;
  for (xmlNodePtr child = node->children; child; child = child->next) {
    if (child->type != XML_ELEMENT_NODE || child->ns != nullptr || child->name == nullptr) continue;
    std::string_view name = reinterpret_cast<const char*>(child->name);
    below.clear();
    for (const PendingPath& p : pending) {
      if (found[p.index]) continue;
      size_t slash = p.path.find('/');
      if (p.path.substr(0, slash) != name) continue;
      if (slash == std::string_view::npos) {
        texts[p.index] = XmlNode(child).text();
        found[p.index] = true;
      } else {
        below.push_back({p.path.substr(slash + 1), p.index});
      }
    }
    if (!below.empty()) readPendingTexts(child, below, texts, found);
  }
}

}  // namespace

std::vector<std::string> childTexts(const XmlNode& node, std::span<const std::string_view> paths) {
  std::vector<std::string> texts(paths.size());
  if (!node) return texts;
  std::vector<PendingPath> pending;
  pending.reserve(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) pending.push_back({paths[i], i});
  std::vector<bool> found(paths.size(), false);
  readPendingTexts(node.get(), pending, texts, found);
  return texts;
}

XmlNode selectNode(const XmlNode& context, std::string_view xpath) {
  XmlNodeList nodes = evaluate(context, xpath, true);
  return nodes.empty() ? XmlNode() : nodes.front();
}

namespace {

struct SaveContextClose {
  void operator()(xmlSaveCtxt* p) const noexcept { xmlSaveClose(p); }
};

// True when `text` is well-formed UTF-8 (the saver passes such text through
// unchanged).
bool isUtf8(const xmlChar* text) {
  for (const xmlChar* p = text; *p != 0;) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    int more = (*p & 0xe0) == 0xc0 ? 1 : (*p & 0xf0) == 0xe0 ? 2 : (*p & 0xf8) == 0xf0 ? 3 : -1;
    if (more < 0) return false;
    for (++p; more > 0; --more, ++p)
      if ((*p & 0xc0) != 0x80) return false;
  }
  return true;
}

bool isPlainText(const xmlNode* node) {
  return node->type == XML_TEXT_NODE && node->name == xmlStringText && (!node->content || isUtf8(node->content));
}

// The next node in document order below `root`, or null at the end.
const xmlNode* nextBelow(const xmlNode* node, const xmlNode* root) {
  if (node->type == XML_ELEMENT_NODE && node->children) return node->children;
  for (; node != root; node = node->parent)
    if (node->next) return node->next;
  return nullptr;
}

// True for a document of elements without namespaces, their attributes and
// their text, all in UTF-8: the documents the wizard makes and keeps.
bool isPlainDocument(const xmlDoc* doc) {
  const xmlNode* root = doc->children;
  if (doc->type != XML_DOCUMENT_NODE || !root || root->next || root->type != XML_ELEMENT_NODE) return false;
  if (doc->version && (xmlStrchr(doc->version, '"') || !isUtf8(doc->version))) return false;
  for (const xmlNode* node = root; node; node = nextBelow(node, root)) {
    if (node->type != XML_ELEMENT_NODE) {
      if (!isPlainText(node)) return false;
      continue;
    }
    if (node->ns || node->nsDef || !node->name || !isUtf8(node->name)) return false;
    for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
      if (attribute->type != XML_ATTRIBUTE_NODE || attribute->ns || !isUtf8(attribute->name)) return false;
      for (const xmlNode* piece = attribute->children; piece; piece = piece->next)
        if (!isPlainText(piece)) return false;
    }
  }
  return true;
}

// Writes a plain document byte for byte as libxml2's saver does with
// XML_SAVE_FORMAT and UTF-8 output: an element holding text keeps its
// content on its line, any other is indented two blanks a level (at most
// thirty levels), and an element without content is written "<Name/>". The
// saver goes through its output buffer some ten times per element; the
// wizard's documents are thousands of elements.
template <class Sink>
class PlainWriter {
 public:
  explicit PlainWriter(Sink& sink) : sink_(sink) {}

  void document(const xmlDoc* doc) {
    put("<?xml version=\"");
    put(doc->version ? reinterpret_cast<const char*>(doc->version) : "1.0");
    put("\" encoding=\"UTF-8\"");
    if (doc->standalone == 0) put(" standalone=\"no\"");
    if (doc->standalone == 1) put(" standalone=\"yes\"");
    put("?>\n");
    tree(doc->children);
    put("\n");
    if (used_ > 0) sink_(std::string_view(buffer_, used_));
  }

 private:
  static constexpr int kMostIndentLevels = 30;

  // Collects the text in a buffer of its own (no allocation) and hands it
  // on in pieces.
  void put(std::string_view text) {
    if (text.size() > sizeof buffer_ - used_) {
      if (used_ > 0) sink_(std::string_view(buffer_, used_));
      used_ = 0;
      if (text.size() > sizeof buffer_) {
        sink_(text);
        return;
      }
    }
    std::memcpy(buffer_ + used_, text.data(), text.size());
    used_ += text.size();
  }
  void put(const xmlChar* text) { put(std::string_view(reinterpret_cast<const char*>(text))); }
  void indent(int level) {
    static constexpr std::string_view kBlanks = "                                                            ";
    static_assert(kBlanks.size() == 2 * kMostIndentLevels);
    put(kBlanks.substr(0, static_cast<size_t>(2 * std::min(level, kMostIndentLevels))));
  }

  // Text with the characters `escape` gives a reference for replaced, the
  // runs between them written whole.
  template <class Escape>
  void escaped(const xmlChar* content, Escape&& escape) {
    const char* run = reinterpret_cast<const char*>(content);
    for (const char* p = run;; ++p) {
      std::string_view reference = *p == 0 ? std::string_view() : escape(*p);
      if (*p != 0 && reference.empty()) continue;
      put(std::string_view(run, static_cast<size_t>(p - run)));
      if (*p == 0) return;
      put(reference);
      run = p + 1;
    }
  }

  // Text content: the saver escapes <, >, & and carriage returns.
  static std::string_view textReference(char c) {
    switch (c) {
      case '<':
        return "&lt;";
      case '>':
        return "&gt;";
      case '&':
        return "&amp;";
      case '\r':
        return "&#13;";
      default:
        return {};
    }
  }

  // An attribute's value: also quotes and the other line and tab characters.
  static std::string_view attributeReference(char c) {
    switch (c) {
      case '\n':
        return "&#10;";
      case '\t':
        return "&#9;";
      case '"':
        return "&quot;";
      default:
        return textReference(c);
    }
  }

  void startTag(const xmlNode* element) {
    put("<");
    put(element->name);
    for (const xmlAttr* attribute = element->properties; attribute; attribute = attribute->next) {
      put(" ");
      put(attribute->name);
      put("=\"");
      for (const xmlNode* piece = attribute->children; piece; piece = piece->next)
        if (piece->content) escaped(piece->content, attributeReference);
      put("\"");
    }
  }

  // The saver's own walk: down into an element's children, and on the way
  // back up a line end after each node while formatting, the end tag after
  // the last child.
  void tree(const xmlNode* root) {
    int level = 0;
    bool format = true;
    const xmlNode* unformatted = nullptr;  // the element whose text stopped formatting
    const xmlNode* node = root;
    for (;;) {
      if (node->type == XML_ELEMENT_NODE) {
        if (node != root && format) indent(level);
        startTag(node);
        if (!node->children) {
          put("/>");
        } else {
          for (const xmlNode* child = node->children; format && child; child = child->next)
            if (child->type == XML_TEXT_NODE) {
              format = false;
              unformatted = node;
            }
          put(format ? ">\n" : ">");
          ++level;
          node = node->children;
          continue;
        }
      } else if (node->content) {
        escaped(node->content, textReference);
      }
      for (;;) {
        if (node == root) return;
        if (format) put("\n");
        if (node->next) {
          node = node->next;
          break;
        }
        node = node->parent;
        if (level > 0) --level;
        if (format) indent(level);
        put("</");
        put(node->name);
        put(">");
        if (node == unformatted) {
          format = true;
          unformatted = nullptr;
        }
      }
    }
  }

  Sink& sink_;
  char buffer_[16384];
  size_t used_ = 0;
};

// The element path of a node ("TVKWizardData/Fields/Field/FieldName").
std::string elementPath(const xmlNode* node) {
  std::string path;
  for (; node && node->type != XML_DOCUMENT_NODE; node = node->parent) {
    if (node->type != XML_ELEMENT_NODE || !node->name) continue;
    std::string name = isXmlText(reinterpret_cast<const char*>(node->name)) ? fromXml(node->name) : "?";
    path = path.empty() ? name : name + "/" + path;
  }
  return path;
}

[[noreturn]] void raiseUnwritable(const xmlNode* node, std::string_view what) {
  raise(err::kXml, std::string(kSource),
        "The " + std::string(what) + " of " + elementPath(node) +
            " holds a character that XML 1.0 cannot hold (a control character or bytes that are not UTF-8)");
}

// Every name, text and attribute value must be text XML 1.0 can hold: a
// document written with a control character or broken UTF-8 in it could not
// be read again.
void refuseUnwritableText(const xmlDoc* doc) {
  const xmlNode* root = xmlDocGetRootElement(doc);
  auto ok = [](const xmlChar* text) { return !text || isXmlText(reinterpret_cast<const char*>(text)); };
  for (const xmlNode* node = root; node; node = nextBelow(node, root)) {
    if (node->type == XML_ELEMENT_NODE) {
      if (!ok(node->name)) raiseUnwritable(node, "name");
      for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
        if (!ok(attribute->name)) raiseUnwritable(node, "attribute name");
        for (const xmlNode* piece = attribute->children; piece; piece = piece->next)
          if (!ok(piece->content)) raiseUnwritable(node, "attribute " + fromXml(attribute->name));
      }
    } else if (!ok(node->content)) {
      raiseUnwritable(node->parent, "text");
    }
  }
}

// Serialises into `sink` in pieces, instead of into a buffer of the whole
// text that is then copied again: the wizard's own documents directly, any
// other through libxml2's saver.
template <class Sink>
void saveDocument(_xmlDoc* doc, Sink& sink) {
  refuseUnwritableText(doc);
  if (isPlainDocument(doc)) {
    PlainWriter<Sink>(sink).document(doc);
    return;
  }
  const auto write = [](void* context, const char* data, int length) {
    (*static_cast<Sink*>(context))(std::string_view(data, static_cast<size_t>(length)));
    return length;
  };
  std::unique_ptr<xmlSaveCtxt, SaveContextClose> saver{xmlSaveToIO(write, nullptr, &sink, "UTF-8", XML_SAVE_FORMAT)};
  if (!saver) throw std::bad_alloc();
  if (xmlSaveDoc(saver.get(), doc) < 0) raise(err::kXml, std::string(kSource), "The document cannot be written");
  if (xmlSaveFlush(saver.get()) < 0) raise(err::kXml, std::string(kSource), "The document cannot be written");
}

}  // namespace

std::string serializeXml(_xmlDoc* doc) {
  std::string text;
  auto append = [&](std::string_view piece) { text += piece; };
  saveDocument(doc, append);
  return text;
}

void writeXml(_xmlDoc* doc, std::ostream& out) {
  auto write = [&](std::string_view piece) { out.write(piece.data(), static_cast<std::streamsize>(piece.size())); };
  saveDocument(doc, write);
}

void saveXmlAtomic(_xmlDoc* doc, const std::string& path) { files::writeFileAtomic(path, serializeXml(doc)); }

std::shared_ptr<_xmlDoc> transformWithStylesheet(_xmlDoc* doc, const std::string& stylesheetPath) {
  std::string error;
  XmlDocPtr styleDoc = parseXmlFile(stylesheetPath, &error);
  if (!styleDoc) raise(err::kXml, std::string(kSource), "Cannot load stylesheet '" + stylesheetPath + "': " + error);
  const Xslt xslt;
  std::string message;
  xslt.setGenericErrorFunc(&message, collectGeneric);
  // The stylesheet takes ownership of its document once parsed.
  std::unique_ptr<xsltStylesheet, StylesheetFree> sheet{xslt.parseStylesheetDoc(styleDoc.get()), StylesheetFree{&xslt}};
  if (!sheet) {
    xslt.setGenericErrorFunc(nullptr, nullptr);
    raise(err::kXml, std::string(kSource), "Cannot load stylesheet '" + stylesheetPath + "': " + message);
  }
  styleDoc.release();
  std::unique_ptr<xsltTransformContext, TransformContextFree> tctx{xslt.newTransformContext(sheet.get(), doc),
                                                                   TransformContextFree{&xslt}};
  if (!tctx) throw std::bad_alloc();
  xslt.setTransformErrorFunc(tctx.get(), &message, collectGeneric);
  xmlDocPtr out = xslt.applyStylesheetUser(sheet.get(), doc, nullptr, nullptr, nullptr, tctx.get());
  xslt.setGenericErrorFunc(nullptr, nullptr);
  if (!out) raise(err::kXml, std::string(kSource), "Transform with '" + stylesheetPath + "' failed: " + message);
  return std::shared_ptr<_xmlDoc>(out, XmlDocDeleter{});
}

bool isXmlText(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') return false;
      ++i;
      continue;
    }
    int more = (byte & 0xe0) == 0xc0 ? 1 : (byte & 0xf0) == 0xe0 ? 2 : (byte & 0xf8) == 0xf0 ? 3 : -1;
    if (more < 0 || i + static_cast<size_t>(more) >= text.size()) return false;
    char32_t code = byte & (0x3f >> more);
    for (int k = 1; k <= more; ++k) {
      auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xc0) != 0x80) return false;
      code = (code << 6) | (next & 0x3f);
    }
    // Overlong forms, surrogates, U+FFFE and U+FFFF and what lies beyond
    // Unicode are not characters XML takes.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[more] || (code >= 0xd800 && code <= 0xdfff) || code == 0xfffe || code == 0xffff ||
        code > 0x10ffff)
      return false;
    i += static_cast<size_t>(more) + 1;
  }
  return true;
}

std::string libxmlVersion() { return LIBXML_DOTTED_VERSION; }

std::string libxsltVersion() { return LIBXSLT_DOTTED_VERSION; }

}  // namespace tvk
