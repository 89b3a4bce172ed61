#include "base/xml.h"

#include <gtest/gtest.h>
#include <libxml/tree.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

// Names of the nodes with the text of their first element child, so that two
// lists can be compared node for node in order.
std::vector<std::string> describe(const XmlNodeList& nodes) {
  std::vector<std::string> result;
  for (const XmlNode& node : nodes) result.push_back(node.name() + "=" + node.text());
  return result;
}

XmlDocPtr parsed(std::string_view text) {
  std::string error;
  XmlDocPtr doc = parseXmlText(text, &error);
  EXPECT_TRUE(doc) << error;
  return doc;
}

// Plain paths are walked child by child instead of going through the XPath
// engine; written with explicit axes the same paths take the engine's route,
// and both must find the same nodes in the same order.
TEST(Xml, PlainPathsFindWhatXPathFinds) {
  XmlDocPtr doc = parsed(
      "<Root xmlns:p='urn:p'>"
      "<Fields><Field><FieldName>a</FieldName><LookupTable><UseLookupTable>T</UseLookupTable></LookupTable></Field>"
      "text<!-- note --><Field><FieldName>b</FieldName><FieldName>b2</FieldName></Field>"
      "<p:Field><FieldName>ns</FieldName></p:Field></Fields>"
      "<Fields><Field><FieldName>c</FieldName></Field><Extra>e</Extra></Fields>"
      "<Field-Size.x>9</Field-Size.x><_u>u</_u></Root>");
  XmlNode root = rootElement(doc.get());
  const std::vector<std::pair<std::string, std::string>> paths = {
      {"Fields", "child::Fields"},
      {"Fields/Field", "child::Fields/child::Field"},
      {"Fields/Field/FieldName", "child::Fields/child::Field/child::FieldName"},
      {"Fields/Field/LookupTable/UseLookupTable",
       "child::Fields/child::Field/child::LookupTable/child::UseLookupTable"},
      {"Fields/Extra", "child::Fields/child::Extra"},  // only in the second
      {"Field-Size.x", "child::Field-Size.x"},
      {"_u", "child::_u"},
      {"Missing", "child::Missing"},
      {"Fields/Missing/FieldName", "child::Fields/child::Missing/child::FieldName"},
  };
  std::vector<std::string_view> plains;
  for (const auto& [plain, axes] : paths) {
    EXPECT_EQ(describe(selectNodes(root, plain)), describe(selectNodes(root, axes))) << plain;
    XmlNode first = selectNode(root, plain);
    XmlNodeList all = selectNodes(root, axes);
    EXPECT_EQ(first, all.empty() ? XmlNode() : all.front()) << plain;
    plains.push_back(plain);
  }
  // Read all at once, each path gives its first match's text.
  std::vector<std::string> texts = childTexts(root, plains);
  for (size_t i = 0; i < paths.size(); ++i)
    EXPECT_EQ(texts[i], selectNode(root, paths[i].second).text()) << paths[i].first;
  // The element in a namespace is not found by an unprefixed name.
  EXPECT_EQ(describe(selectNodes(root, "Fields/Field/FieldName")),
            (std::vector<std::string>{"FieldName=a", "FieldName=b", "FieldName=b2", "FieldName=c"}));
  // From a node further down, as the document's sub-node look-ups ask.
  XmlNode second = selectNodes(root, "Fields/Field")[1];
  EXPECT_EQ(selectNode(second, "FieldName").text(), "b");
  EXPECT_FALSE(selectNode(second, "LookupTable/UseLookupTable"));
}

// Everything else still goes to the XPath engine, which also refuses what is
// not a path.
TEST(Xml, OtherExpressionsKeepTheirMeaning) {
  XmlDocPtr doc = parsed("<Root><A><B>1</B></A><A><B>2</B><C>x</C></A></Root>");
  XmlNode root = rootElement(doc.get());
  EXPECT_EQ(describe(selectNodes(root, "A[C='x']/B")), std::vector<std::string>{"B=2"});
  EXPECT_EQ(describe(selectNodes(root, "A/B | A/C")), (std::vector<std::string>{"B=1", "B=2", "C=x"}));
  EXPECT_EQ(selectNodes(root, "/Root/A").size(), 2u);
  EXPECT_EQ(selectNodes(root, "A/*").size(), 3u);
  EXPECT_EQ(selectNode(root, "A/B/..").name(), "A");
  EXPECT_TRUE(selectNodes(root, "count(A)").empty());
  EXPECT_THROW(selectNodes(root, "A/"), WizError);
  EXPECT_THROW(selectNodes(root, "A//"), WizError);
  EXPECT_THROW(selectNodes(root, "A[1"), WizError);
  EXPECT_THROW(selectNodes(XmlNode(), "A"), WizError);
}

// The document's text is produced piece by piece now; it must stay the text
// libxml2's one-buffer dump gives (project files and the schema command's
// output are compared byte for byte).
// libxml2's own formatted dump, which the serialised text must equal byte
// for byte.
std::string dumped(xmlDoc* doc) {
  xmlChar* buffer = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(doc, &buffer, &size, "UTF-8", 1);
  EXPECT_NE(buffer, nullptr);
  std::string text(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
  xmlFree(buffer);
  return text;
}

void expectSerialisedAsDumped(xmlDoc* doc, const std::string& what) {
  const std::string expected = dumped(doc);
  EXPECT_EQ(serializeXml(doc), expected) << what;
  std::ostringstream written;
  writeXml(doc, written);
  EXPECT_EQ(written.str(), expected) << what;
}

TEST(Xml, SerialisedTextIsTheFormattedDump) {
  XmlDocPtr doc = parsed(
      "<TVKWizard Version='1.0'><Project><ProjectName>A &amp; B &lt;x&gt; \"q\" 'a'</ProjectName><Empty/>"
      "<Mixed>t<b>u<i>w</i></b>v<c><d/></c></Mixed></Project><Fields><Field><FieldName>\xc3\xa9t\xc3\xa9</FieldName>"
      "<LookupTable><UseLookupTable>TRUE</UseLookupTable></LookupTable></Field></Fields></TVKWizard>");
  XmlNode root = rootElement(doc.get());
  root.appendElement("Added", "line1\r\nline2\ttab > 3");
  root.appendElement("AddedEmpty");
  root.appendElement("Quoted").setAttribute("a", "x\"y'<z>&\n\r\t\xc3\xa9");
  expectSerialisedAsDumped(doc.get(), "parsed and added to");
  const std::string text = serializeXml(doc.get());
  EXPECT_NE(text.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TVKWizard"), std::string::npos);
  EXPECT_NE(text.find("\n    <Empty/>"), std::string::npos);

  // Documents made here, deeper than the indentation goes, with empty
  // attributes, a root of text only and an empty root.
  XmlDocPtr made = newXmlDocument();
  XmlNode deep = setRootElement(made.get(), "Root");
  deep.setAttribute("empty", "");
  for (int level = 0; level < 34; ++level) deep = deep.appendElement("L" + std::to_string(level));
  deep.appendElement("Leaf", "text");
  deep.appendElement("Blank", "  ");
  expectSerialisedAsDumped(made.get(), "deep");
  setRootElement(made.get(), "Only").setText("just text");
  expectSerialisedAsDumped(made.get(), "text root");
  setRootElement(made.get(), "Nothing");
  expectSerialisedAsDumped(made.get(), "empty root");

  // What the wizard's documents never hold is left to libxml2's saver, with
  // the same result.
  for (const char* other : {
           "<?xml version='1.0' standalone='yes'?><a><b>x</b></a>",
           "<a><!-- note --><b>x</b><?pi data?></a>",
           "<a><b><![CDATA[<raw>]]></b></a>",
           "<a xmlns:p='urn:p'><p:b p:c='1'>x</p:b></a>",
           "<a xmlns='urn:d'><b>x</b></a>",
           "<?xml version=\"1.1\"?><a>1.1</a>",
       })
    expectSerialisedAsDumped(parsed(other).get(), other);
}

// A document is written only when it can be read again: text that is not
// UTF-8 or holds a control character XML 1.0 has no place for (only the API
// can put it there, from a database's names) is refused before the first
// byte, naming the element.
TEST(Xml, TextXmlCannotHoldIsNeverWritten) {
  for (const char* bad : {"\xff\xfe ok", "a\x01b", "form\x0c", "\xc3", "\xed\xa0\x80", "\xef\xbf\xbe", "\xc0\xaf"}) {
    EXPECT_FALSE(isXmlText(bad)) << bad;
    XmlDocPtr doc = newXmlDocument();
    setRootElement(doc.get(), "Root").appendElement("Fields").appendElement("FieldName", bad);
    std::ostringstream written;
    try {
      writeXml(doc.get(), written);
      ADD_FAILURE() << "wrote " << bad;
    } catch (const WizError& e) {
      EXPECT_NE(e.description().find("Root/Fields/FieldName"), std::string::npos) << e.description();
    }
    EXPECT_EQ(written.str(), "");
    EXPECT_THROW(serializeXml(doc.get()), WizError);
  }
  XmlDocPtr attribute = newXmlDocument();
  setRootElement(attribute.get(), "Root").setAttribute("a", "x\x1fy");
  EXPECT_THROW(serializeXml(attribute.get()), WizError);
  for (const char* good : {"", "tab\tline\r\n", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "'\"<%>&[]"})
    EXPECT_TRUE(isXmlText(good)) << good;
}

// A document type declaration is refused before its internal subset is
// read: no entity is ever expanded (a billion laughs stays a few hundred
// bytes) and no file or address named by one is read.
TEST(Xml, DocumentTypeDeclarationsAreRefused) {
  std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE TVKWizardData [\n<!ENTITY l0 \"ha\">\n";
  for (int i = 1; i < 10; ++i) {
    laughs += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) laughs += "&l" + std::to_string(i - 1) + ";";
    laughs += "\">\n";
  }
  laughs += "]>\n<TVKWizardData><ProjectName>&l9;</ProjectName></TVKWizardData>\n";
  test::ScopedTempDir dir;
  test::writeFile(dir / "secret.txt", "secret");
  const std::string external = "<!DOCTYPE TVKWizardData [<!ENTITY x SYSTEM \"file://" + dir / "secret.txt" +
                               "\">]><TVKWizardData><ProjectName>&x;</ProjectName></TVKWizardData>";
  for (const std::string& text :
       {laughs, external, std::string("<!DOCTYPE TVKWizardData SYSTEM \"other.dtd\"><TVKWizardData/>"),
        std::string("<!DOCTYPE TVKWizardData><TVKWizardData/>")}) {
    std::string error;
    EXPECT_FALSE(parseXmlText(text, &error)) << text;
    EXPECT_NE(error.find("document type declaration"), std::string::npos) << error;
    test::writeFile(dir / "project.xml", text);
    error.clear();
    EXPECT_FALSE(parseXmlFile(dir / "project.xml", &error));
    EXPECT_NE(error.find("document type declaration"), std::string::npos) << error;
  }
  // Character references need no DTD and still work.
  std::string error;
  XmlDocPtr plain = parseXmlText("<a>&lt;&#65;</a>", &error);
  ASSERT_TRUE(plain) << error;
  EXPECT_EQ(rootElement(plain.get()).text(), "<A");
}

// What is not a readable file is refused with one plain reason, and a FIFO
// without a writer does not hold the reader up.
TEST(Xml, FilesThatAreNotDocumentsSayWhy) {
  test::ScopedTempDir dir;
  std::string error;
  EXPECT_FALSE(parseXmlFile(dir / "missing.xml", &error));
  EXPECT_EQ(error, "the file does not exist");
  EXPECT_FALSE(parseXmlFile(dir.path(), &error));
  EXPECT_EQ(error, "is a directory");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(parseXmlFile(dir / "fifo", &error));
  EXPECT_EQ(error, "is not a regular file");
  EXPECT_FALSE(parseXmlFile("/dev/zero", &error));
  EXPECT_EQ(error, "is not a regular file");
  test::writeFile(dir / "locked.xml", "<a/>");
  ::chmod((dir / "locked.xml").c_str(), 0);
  if (::geteuid() != 0) {  // root reads it all the same
    EXPECT_FALSE(parseXmlFile(dir / "locked.xml", &error));
    EXPECT_EQ(error, "permission denied");
  }
}

// Documents made here keep their element names in a dictionary, as parsed
// ones do; nodes are renamed, replaced and freed as usual.
TEST(Xml, MadeDocumentsShareTheirNames) {
  XmlDocPtr doc = newXmlDocument();
  ASSERT_NE(doc->dict, nullptr);
  XmlNode root = setRootElement(doc.get(), "Fields");
  XmlNode first = root.appendElement("Field", "1");
  XmlNode second = root.appendElement("Field", "2");
  EXPECT_EQ(first.get()->name, second.get()->name);
  first.setAttribute("Kind", "a");
  first.setAttribute("Kind", "b");
  xmlNodeSetName(second.get(), BAD_CAST "Other");
  second.setText("3");
  removeXmlNode(first);
  root.appendElement("Field").appendElement("Sub", "4");
  EXPECT_EQ(serializeXml(doc.get()),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Fields>\n  <Other>3</Other>\n  <Field>\n"
            "    <Sub>4</Sub>\n  </Field>\n</Fields>\n");
  // Short texts are shared too, and change and merge as any other.
  XmlNode a = root.appendElement("A", "TRUE");
  XmlNode b = root.appendElement("B", "TRUE");
  EXPECT_EQ(a.get()->children->content, b.get()->children->content);
  xmlNodeAddContent(a.get()->children, BAD_CAST " or FALSE");
  xmlAddChild(b.get(), xmlNewDocText(doc.get(), BAD_CAST "!"));
  xmlNodeSetContent(root.appendElement("C", "short").get()->children, BAD_CAST "changed");
  std::string longText(200, 'x');
  root.appendElement("D", longText);
  EXPECT_EQ(a.text() + "|" + b.text() + "|" + root.child("C").text(), "TRUE or FALSE|TRUE!|changed");
  EXPECT_EQ(root.child("D").text(), longText);
  EXPECT_EQ(serializeXml(doc.get()), dumped(doc.get()));
  // A root replaced is freed with the document's names.
  setRootElement(doc.get(), "Fields");
  EXPECT_EQ(rootElement(doc.get()).children().size(), 0u);
}

// libxslt is loaded on the first transform: a stylesheet applies, and one
// that is not a stylesheet is refused with the file named.
TEST(Xml, StylesheetsApplyOnDemand) {
  test::ScopedTempDir dir;
  const std::string sheet = dir.path() + "/order.xsl";
  test::writeFile(sheet,
                  "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                  "<xsl:template match='/'><Out><xsl:for-each select='Root/A'><xsl:sort select='.' "
                  "data-type='number'/><N><xsl:value-of select='.'/></N></xsl:for-each></Out></xsl:template>"
                  "</xsl:stylesheet>");
  XmlDocPtr doc = parsed("<Root><A>3</A><A>1</A><A>2</A></Root>");
  std::shared_ptr<_xmlDoc> result = transformWithStylesheet(doc.get(), sheet);
  ASSERT_TRUE(result);
  XmlNode out(xmlDocGetRootElement(result.get()), result);
  EXPECT_EQ(describe(selectNodes(out, "N")), (std::vector<std::string>{"N=1", "N=2", "N=3"}));

  const std::string notSheet = dir.path() + "/plain.xsl";
  test::writeFile(notSheet, "<Root/>");
  try {
    transformWithStylesheet(doc.get(), notSheet);
    ADD_FAILURE() << "a document that is no stylesheet was applied";
  } catch (const WizError& e) {
    EXPECT_NE(e.description().find(notSheet), std::string::npos) << e.description();
  }
}

}  // namespace
}  // namespace tvk
