#include "base/xml.h"

#include <gtest/gtest.h>
#include <libxml/tree.h>

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
      "<Fields><Field><FieldName>c</FieldName></Field></Fields>"
      "<Field-Size.x>9</Field-Size.x><_u>u</_u></Root>");
  XmlNode root = rootElement(doc.get());
  const std::vector<std::pair<std::string, std::string>> paths = {
      {"Fields", "child::Fields"},
      {"Fields/Field", "child::Fields/child::Field"},
      {"Fields/Field/FieldName", "child::Fields/child::Field/child::FieldName"},
      {"Fields/Field/LookupTable/UseLookupTable",
       "child::Fields/child::Field/child::LookupTable/child::UseLookupTable"},
      {"Field-Size.x", "child::Field-Size.x"},
      {"_u", "child::_u"},
      {"Missing", "child::Missing"},
      {"Fields/Missing/FieldName", "child::Fields/child::Missing/child::FieldName"},
  };
  for (const auto& [plain, axes] : paths) {
    EXPECT_EQ(describe(selectNodes(root, plain)), describe(selectNodes(root, axes))) << plain;
    XmlNode first = selectNode(root, plain);
    XmlNodeList all = selectNodes(root, axes);
    EXPECT_EQ(first, all.empty() ? XmlNode() : all.front()) << plain;
  }
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
TEST(Xml, SerialisedTextIsTheFormattedDump) {
  XmlDocPtr doc = parsed(
      "<TVKWizard Version='1.0'><Project><ProjectName>A &amp; B &lt;x&gt; \"q\" 'a'</ProjectName><Empty/>"
      "<Mixed>t<b>u</b>v</Mixed></Project><Fields><Field><FieldName>\xc3\xa9t\xc3\xa9</FieldName>"
      "<LookupTable><UseLookupTable>TRUE</UseLookupTable></LookupTable></Field></Fields></TVKWizard>");
  XmlNode root = rootElement(doc.get());
  root.appendElement("Added", "line1\r\nline2\ttab");
  root.appendElement("AddedEmpty");

  xmlChar* buffer = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(doc.get(), &buffer, &size, "UTF-8", 1);
  ASSERT_NE(buffer, nullptr);
  std::string dumped(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
  xmlFree(buffer);

  EXPECT_EQ(serializeXml(doc.get()), dumped);
  std::ostringstream written;
  writeXml(doc.get(), written);
  EXPECT_EQ(written.str(), dumped);
  EXPECT_NE(dumped.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TVKWizard"), std::string::npos);
  EXPECT_NE(dumped.find("\n    <Empty/>"), std::string::npos);
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
