#include "wizdata/xml_wiz_data.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <memory>

#include "base/error.h"
#include "base/session.h"
#include "base/ui.h"
#include "support/temp_dir.h"
#include "wizdata/xml_wiz_constants.h"

namespace tvk {
namespace {

using test::ScopedTempDir;

class XMLWizDataTest : public ::testing::Test {
 protected:
  std::shared_ptr<ConsoleUi> ui = std::make_shared<ConsoleUi>();
  Session session{ui};

  // Adds a Fields/Field record with the given options.
  XmlNode addField(XMLWizData& data, const std::string& name, const std::string& listShow, const std::string& listOrder,
                   const std::string& formShow = "FALSE", const std::string& formOrder = "",
                   const std::string& sorting = "FALSE") {
    XmlNode fields = data.GetNode("Fields");
    if (!fields) fields = data.foCreateNode(data.root(), "Fields");
    XmlNode field = data.AddSubNode(fields, "Field");
    data.AddSubNode(field, "FieldName", name);
    data.SetSubNodeText(field, "AllowSorting", sorting);
    data.SetSubNodeText(field, "ListFieldOptions/ShowField", listShow);
    data.SetSubNodeText(field, "ListFieldOptions/FieldOrder", listOrder);
    data.SetSubNodeText(field, "FormFieldOptions/ShowField", formShow);
    data.SetSubNodeText(field, "FormFieldOptions/FieldOrder", formOrder);
    return field;
  }

  static std::vector<std::string> names(const XMLWizData& data, const XmlNodeList& nodes) {
    std::vector<std::string> result;
    for (const XmlNode& node : nodes) result.push_back(data.GetSubNodeText(node, "FieldName"));
    return result;
  }
};

TEST_F(XMLWizDataTest, NewDocumentHoldsOnlyTheVersionedRoot) {
  XMLWizData data{session};
  std::string xml = data.GetXML();
  EXPECT_NE(xml.find("<TVKWizardData Version=\"1.0\"/>"), std::string::npos) << xml;
  EXPECT_EQ(data.root().children().size(), 0u);
}

TEST_F(XMLWizDataTest, SetNodeTextCreatesThePathOnceAndGetCreatesNothing) {
  XMLWizData data{session};
  EXPECT_EQ(data.GetNodeText("ListOptions/Paging/RecordsPerPage"), "");
  EXPECT_FALSE(data.GetNode("ListOptions/Paging/RecordsPerPage"));
  EXPECT_FALSE(data.GetNode("ListOptions"));  // the reads created nothing

  data.SetNodeText("ListOptions/Paging/RecordsPerPage", "10");
  EXPECT_EQ(data.GetNodeText("ListOptions/Paging/RecordsPerPage"), "10");
  data.SetNodeText("ListOptions/Paging/RecordsPerPage", "20");
  EXPECT_EQ(data.GetNodeText("ListOptions/Paging/RecordsPerPage"), "20");
  EXPECT_EQ(data.GetNodes("ListOptions").size(), 1u);
  EXPECT_EQ(data.GetNodes("ListOptions/Paging/RecordsPerPage").size(), 1u);

  // Text with markup characters is stored as text, not parsed.
  data.SetNodeText("ProjectName", "a<b & \"c\"");
  EXPECT_EQ(data.ProjectName(), "a<b & \"c\"");
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(XMLWizDataTest, SubNodesAndRepeatedElements) {
  XMLWizData data{session};
  XmlNode fields = data.foCreateNode(data.root(), "Fields");
  XmlNode first = data.AddSubNode(fields, "Field");
  XmlNode second = data.AddSubNode(fields, "Field");
  EXPECT_EQ(data.GetFields().size(), 2u);
  EXPECT_NE(data.GetXML().find("<Field/>"), std::string::npos);  // no text node without a text

  XmlNode show = data.SetSubNodeText(first, "ListFieldOptions/ShowField", "TRUE");
  EXPECT_EQ(show.name(), "ShowField");
  EXPECT_TRUE(data.GetSubNode(first, "ListFieldOptions"));
  EXPECT_FALSE(data.GetSubNode(second, "ListFieldOptions"));
  EXPECT_EQ(data.GetSubNodeText(first, "ListFieldOptions/ShowField"), "TRUE");
  EXPECT_EQ(data.GetSubNodeText(second, "ListFieldOptions/ShowField"), "");

  // An empty text given is set as empty.
  XmlNode empty = data.AddSubNode(second, "FieldName", "");
  EXPECT_EQ(empty.text(), "");
  EXPECT_TRUE(data.GetSubNode(second, "FieldName"));

  // Predicates find existing records; DeleteNodes removes every match.
  data.SetSubNodeText(first, "FieldName", "Name");
  EXPECT_EQ(data.GetNode("Fields/Field[FieldName='Name']"), first);
  data.DeleteNodes("Fields/Field");
  EXPECT_EQ(data.GetFields().size(), 0u);
  EXPECT_TRUE(data.GetNode("Fields"));
}

TEST_F(XMLWizDataTest, InvalidPathsAreReportedAndAbortReturnsTheDefault) {
  XMLWizData data{session};
  // A predicate step can be found but not created: the report names the
  // operation, and Abort leaves the default result.
  XmlNode node = data.foCreateNode(data.root(), "Fields/Field[FieldName='x']");
  EXPECT_FALSE(node);
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("Source : TVKWizard.XMLWizData.foCreateNode"), std::string::npos);

  EXPECT_EQ(data.GetSubNodeText(data.root(), "[["), "");
  EXPECT_NE(ui->shown().back().find("XMLWizData.GetSubNodeText"), std::string::npos);

  // The basic node operations pass failures on instead.
  EXPECT_THROW(data.GetNode("[["), WizError);
  EXPECT_THROW(data.createElement("not a name"), WizError);
}

TEST_F(XMLWizDataTest, DisplayedListAndFormFields) {
  XMLWizData data{session};
  data.SetNodeText("ProjectType", "List");
  addField(data, "A", "TRUE", "10", "TRUE", "2");
  addField(data, "B", "TRUE", "9");
  addField(data, "C", "FALSE", "", "TRUE", "1", "TRUE");
  addField(data, "D", "FALSE", "");
  addField(data, "E", "TRUE", "1");

  EXPECT_EQ(names(data, data.GetDisplayedFields()), (std::vector<std::string>{"A", "B", "C", "E"}));
  // Numeric order: 9 before 10.
  EXPECT_EQ(names(data, data.GetListFields()), (std::vector<std::string>{"E", "B", "A"}));
  EXPECT_EQ(names(data, data.GetFormFields()), (std::vector<std::string>{"C", "A"}));

  // The ordered lists are copies: changing them leaves the document alone.
  XmlNodeList list = data.GetListFields();
  list.front().setText("changed");
  EXPECT_EQ(data.GetNodeText("Fields/Field[FieldName='E']/FieldName"), "E");
  EXPECT_EQ(data.GetSubNodeText(list.back(), "ListFieldOptions/FieldOrder"), "10");

  // C is sortable but shown on the form page only.
  EXPECT_FALSE(data.FieldSortingUsed());
  data.SetNodeText("ProjectType", "ListForm");
  EXPECT_TRUE(data.FieldSortingUsed());
  data.SetNodeText("ProjectType", "Form");
  EXPECT_TRUE(data.FieldSortingUsed());
  data.SetNodeText("ProjectType", "Other");
  EXPECT_FALSE(data.FieldSortingUsed());
  EXPECT_TRUE(ui->shown().empty());

  data.DeleteNodes("ProjectType");
  EXPECT_FALSE(data.FieldSortingUsed());  // reported: ProjectType must exist
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("XMLWizData.FieldSortingUsed"), std::string::npos);
}

TEST_F(XMLWizDataTest, FieldByNameFindsAnyNameExactly) {
  XMLWizData data{session};
  EXPECT_FALSE(fieldByName(data, "A"));  // no Fields at all
  XmlNode plain = addField(data, "A", "TRUE", "1");
  XmlNode quote = addField(data, "O'Brien", "TRUE", "2");
  XmlNode both = addField(data, "x' or '1'='1", "FALSE", "");
  XmlNode doubled = addField(data, "Say \"hi\"", "FALSE", "");
  EXPECT_EQ(fieldByName(data, "A"), plain);
  EXPECT_EQ(fieldByName(data, "O'Brien"), quote);
  EXPECT_EQ(fieldByName(data, "x' or '1'='1"), both);
  EXPECT_EQ(fieldByName(data, "Say \"hi\""), doubled);
  // Exact: no other case, no prefix, no injected predicate matching all.
  EXPECT_FALSE(fieldByName(data, "a"));
  EXPECT_FALSE(fieldByName(data, "O'"));
  EXPECT_FALSE(fieldByName(data, "' or '1'='1"));
  EXPECT_FALSE(fieldByName(data, ""));
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(XMLWizDataTest, IsUniqueFieldNameCountsKeyFieldsAndShowColumns) {
  XMLWizData data{session};
  data.SetNodeText("DataSource/PrimaryKey", "Order ID");
  XmlNode customer = addField(data, "CustomerID", "TRUE", "1");
  data.SetSubNodeText(customer, "LookupTable/UseLookupTable", "TRUE");
  data.SetSubNodeText(customer, "LookupTable/LookupTableType", "DatabaseTable");
  data.SetSubNodeText(customer, "LookupTable/LookupShowField", "Name");
  XmlNode employee = addField(data, "EmployeeID", "TRUE", "2");
  data.SetSubNodeText(employee, "LookupTable/UseLookupTable", "TRUE");
  data.SetSubNodeText(employee, "LookupTable/LookupTableType", "DatabaseTable");
  data.SetSubNodeText(employee, "LookupTable/LookupShowField", "Name");
  XmlNode manual = addField(data, "Status", "TRUE", "3");
  data.SetSubNodeText(manual, "LookupTable/UseLookupTable", "TRUE");
  data.SetSubNodeText(manual, "LookupTable/LookupTableType", "ManualList");
  data.SetSubNodeText(manual, "LookupTable/LookupShowField", "Label");

  EXPECT_FALSE(data.IsUniqueFieldName("Name"));  // two show columns
  EXPECT_TRUE(data.IsUniqueFieldName("CustomerID"));
  EXPECT_TRUE(data.IsUniqueFieldName("Label"));       // manual lists select no show column
  EXPECT_TRUE(data.IsUniqueFieldName("[Order ID]"));  // the key alone
  EXPECT_TRUE(data.IsUniqueFieldName("name"));        // exact comparison
  addField(data, "Order ID", "TRUE", "4");
  EXPECT_FALSE(data.IsUniqueFieldName("[Order ID]"));  // key displayed and counted again
  // A lookup switched off does not count its show column.
  data.SetSubNodeText(employee, "LookupTable/UseLookupTable", "FALSE");
  EXPECT_TRUE(data.IsUniqueFieldName("Name"));
  addField(data, "Name", "TRUE", "5");  // a field named like a show column
  EXPECT_FALSE(data.IsUniqueFieldName("Name"));
}

// The displayed fields and the name counts are walked, not asked of XPath;
// on a document with the odd cases a loaded project file may hold they
// answer what the XPath union and the per-name scan answer.
TEST_F(XMLWizDataTest, DisplayedFieldsAndNameCountsMatchTheXPathAnswers) {
  XMLWizData data{session};
  ScopedTempDir dir;
  const std::string path = dir / "odd.xml";
  test::writeFile(path,
                  "<TVKWizardData><DataSource><PrimaryKey>Key</PrimaryKey></DataSource>"
                  "<Fields><Field><FieldName>A</FieldName>"  // shown by its second flag
                  "<ListFieldOptions><ShowField>FALSE</ShowField><ShowField>TRUE</ShowField></ListFieldOptions>"
                  "</Field>"
                  "<Field><FieldName>B</FieldName><FormFieldOptions><ShowField> TRUE</ShowField>"
                  "</FormFieldOptions></Field>"  // not exactly TRUE
                  "<Field><FieldName>C</FieldName><FormFieldOptions><ShowField>T<x/>RUE</ShowField>"
                  "</FormFieldOptions>"  // TRUE as the text of its descendants
                  "<LookupTable><UseLookupTable>TRUE</UseLookupTable><LookupTableType>DatabaseTable"
                  "</LookupTableType><LookupShowField>A</LookupShowField></LookupTable></Field>"
                  "<Field xmlns='urn:other'><FieldName>D</FieldName><ListFieldOptions><ShowField>TRUE"
                  "</ShowField></ListFieldOptions></Field>"  // another namespace
                  "</Fields><Fields><Field><FieldName>Key</FieldName><ListFieldOptions><ShowField>TRUE"
                  "</ShowField></ListFieldOptions><FormFieldOptions><ShowField>TRUE</ShowField>"
                  "</FormFieldOptions></Field></Fields></TVKWizardData>");
  ASSERT_TRUE(data.Load(path));
  const XmlNodeList byXPath = data.GetNodes(
      "Fields/Field[FormFieldOptions/ShowField='TRUE'] | Fields/Field[ListFieldOptions/ShowField='TRUE']");
  EXPECT_EQ(names(data, byXPath), (std::vector<std::string>{"A", "C", "Key"}));
  EXPECT_EQ(data.GetDisplayedFields(), byXPath);

  const FieldNameCounts counts(data);
  for (const char* name : {"A", "B", "C", "D", "Key", "[Key]", "Other"}) {
    int expected = data.GetNodeText("DataSource/PrimaryKey") == name ? 1 : 0;
    for (const XmlNode& field : byXPath) {
      if (data.GetSubNodeText(field, "FieldName") == name) ++expected;
      if (data.GetSubNodeText(field, "LookupTable/LookupShowField") == name) ++expected;
    }
    EXPECT_EQ(counts.isUnique(name), expected < 2) << name;
    EXPECT_EQ(data.IsUniqueFieldName(name), expected < 2) << name;
  }
  EXPECT_FALSE(counts.isUnique("A"));    // a field and a lookup's shown column
  EXPECT_FALSE(counts.isUnique("Key"));  // the key, displayed
  EXPECT_TRUE(ui->shown().empty());
}

// The generator's field lists come from a sort of the document's own records
// rather than the stylesheets; they must come out in the stylesheets' order
// whatever the order texts hold.
TEST_F(XMLWizDataTest, FieldRecordsSortAsTheStylesheetsDo) {
  XMLWizData data{session};
  const std::vector<std::pair<std::string, std::string>> orders = {
      {"Three", "3"}, {"Blank", ""},     {"Half", "1.5"}, {"Padded", " 2 "}, {"Minus", "-1"},
      {"Plus", "+1"}, {"Exp", "1e1"},    {"Again3", "3"}, {"Big", "100"},    {"Nine", "9"},
      {"Ten", "10"},  {"Word", "first"}, {"Zero", "0"},   {"Dot", ".5"},     {"Dup", "2"}};
  for (const auto& [name, order] : orders) addField(data, name, "TRUE", order, "TRUE", order);
  addField(data, "Hidden", "FALSE", "0", "FALSE", "0");
  XmlNode noOrder = addField(data, "NoOrder", "TRUE", "4", "TRUE", "4");
  removeXmlNode(data.GetSubNode(noOrder, "ListFieldOptions/FieldOrder"));

  const std::vector<std::string> listed = names(data, data.GetListFields());
  ASSERT_EQ(listed.size(), orders.size() + 1);
  EXPECT_EQ(names(data, data.GetListFieldRecords()), listed);
  EXPECT_EQ(names(data, data.GetFormFieldRecords()), names(data, data.GetFormFields()));
  // Not numbers first, in document order; then by value, ties in document
  // order ("1e1" is libxml2's 10).
  EXPECT_EQ(listed, (std::vector<std::string>{"Blank", "Plus", "Word", "NoOrder", "Minus", "Zero", "Dot", "Half",
                                              "Padded", "Dup", "Three", "Again3", "Nine", "Exp", "Ten", "Big"}));
  // The records are the document's own.
  EXPECT_EQ(data.GetListFieldRecords().front(), data.GetDisplayedFields()[1]);
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(XMLWizDataTest, SaveIsAtomicAndLoadRoundTrips) {
  ScopedTempDir dir;
  const std::string path = dir / "project.xml";
  XMLWizData data{session};
  data.SetNodeText("ProjectName", "Orders");
  data.Save(path);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  XMLWizData loaded{session};
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.ProjectName(), "Orders");

  // A save that cannot complete leaves the previous file whole: a file-size
  // limit makes the write fail half-way (this works for root as well).
  for (int i = 0; i < 50; ++i) data.SetNodeText("Padding" + std::to_string(i), std::string(100, 'x'));
  ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 1024;
  ::setrlimit(RLIMIT_FSIZE, &small);
  bool failed = false;
  try {
    data.Save(path);
  } catch (const WizError& e) {
    failed = true;
    EXPECT_NE(e.description().find(path), std::string::npos);
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, SIG_DFL);
  EXPECT_TRUE(failed);
  XMLWizData again{session};
  ASSERT_TRUE(again.Load(path));
  EXPECT_EQ(again.ProjectName(), "Orders");
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename(), "project.xml");  // no temporary left behind
}

TEST_F(XMLWizDataTest, SaveIntoMissingFolderFailsWithPathNotFound) {
  ScopedTempDir dir;
  XMLWizData data{session};
  try {
    data.Save(dir / "missing/project.xml");
    FAIL() << "saving into a missing folder succeeded";
  } catch (const WizError& e) {
    EXPECT_EQ(e.number(), 76);
  }
}

TEST_F(XMLWizDataTest, FailedLoadLeavesAnEmptyDocument) {
  ScopedTempDir dir;
  XMLWizData data{session};
  data.SetNodeText("ProjectName", "Kept?");
  EXPECT_FALSE(data.Load(dir / "missing.xml"));
  EXPECT_EQ(data.root().children().size(), 0u);
  EXPECT_EQ(data.root().attribute("Version"), "1.0");

  test::writeFile(dir / "broken.xml", "<TVKWizardData><ProjectName>x</TVKWizardData>");
  EXPECT_FALSE(data.Load(dir / "broken.xml"));
  EXPECT_FALSE(data.lastLoadError().empty());
  EXPECT_EQ(data.root().name(), "TVKWizardData");
  EXPECT_TRUE(ui->shown().empty());  // a failed load shows no message

  // Any well-formed document loads, whatever its root.
  test::writeFile(dir / "other.xml", "<Other><ProjectName>p</ProjectName></Other>");
  EXPECT_TRUE(data.Load(dir / "other.xml"));
  EXPECT_EQ(data.ProjectName(), "p");
}

TEST_F(XMLWizDataTest, FileName) {
  EXPECT_EQ(XMLWizData::FileName("a/b\\c.xml"), "c.xml");
  EXPECT_EQ(XMLWizData::FileName("c.xml"), "c.xml");
  EXPECT_EQ(XMLWizData::FileName("/dir/"), "");
}

}  // namespace
}  // namespace tvk
