#include "generator/shared_routines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/session.h"
#include "base/ui.h"
#include "generator/gen_context.h"
#include "support/temp_dir.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {
namespace {

using tvk::test::ScopedTempDir;

class SharedRoutines : public test::WizardDocumentTest {
 protected:
  ScopedTempDir templates;
  GenContext ctx{data, templates.path()};

  void style(const std::string& name) {
    data.SetNodeText(wiz::ProjectStyle, name);
    data.SetNodeText(wiz::FileDirectory, "/web/site/admin");
    data.SetNodeText(wiz::StylesheetDirectory, "/web/site/styles");
    data.SetNodeText(wiz::GraphicsDirectory, "/web/site/images");
    data.SetNodeText(wiz::ProjectName, "Orders");
  }

  // A field with a hand-made list of `rows` rows.
  void manualList(const std::string& name, int rows, const std::string& use = "TRUE",
                  const std::string& type = "ManualList") {
    XmlNode field = test::addFieldRecord(data);
    data.AddSubNode(field, wiz::FieldName, name);
    data.SetSubNodeText(field, wiz::UseLookupTable, use);
    data.SetSubNodeText(field, wiz::LookupTableType, type);
    XmlNode array = data.foCreateNode(field, wiz::LookupArray);
    for (int i = 0; i < rows; ++i) {
      XmlNode row = data.AddSubNode(array, wiz::Row);
      data.AddSubNode(row, wiz::JoinField, std::to_string(i + 1));
      data.AddSubNode(row, wiz::DisplayField, name + " \"" + std::to_string(i + 1) + "\"");
    }
  }
};

TEST_F(SharedRoutines, StylesDecideSheetTitleAttributesAndMarkers) {
  style("Basic");
  EXPECT_EQ(fsStylesheetName(ctx), "");
  std::string head = fsHTMLStandardHeader(ctx);
  EXPECT_NE(head.find("<LINK REL=\"STYLESHEET\" HREF=\"../styles/\"> \r\n"), std::string::npos);
  EXPECT_EQ(head.find("TITLE"), std::string::npos);
  EXPECT_EQ(fsHTMLTableAttributes(ctx), "BORDER=1 CELLSPACING=0 CELLPADDING=3");
  EXPECT_EQ(fsHTMLGraphic(ctx, 1), "/\\");
  EXPECT_EQ(fsHTMLGraphic(ctx, 2), "\\/");
  EXPECT_EQ(fsHTMLGraphic(ctx, 3), "Edit");
  EXPECT_EQ(fsHTMLGraphic(ctx, 4), "");

  style("Professional");
  EXPECT_EQ(fsStylesheetName(ctx), "TVKW_Professional.css");
  EXPECT_NE(fsHTMLStandardHeader(ctx).find("<TD WIDTH=100%>&nbsp;</TD><TH NOWRAP>&nbsp;Orders&nbsp;</TH>\r\n"),
            std::string::npos);
  EXPECT_EQ(fsHTMLTableAttributes(ctx), "BORDER=0 CELLSPACING=2 CELLPADDING=3");
  EXPECT_EQ(fsHTMLGraphic(ctx, 1),
            "<IMG SRC=\"../images/TVKW_Pro_SortAsc.gif\" BORDER=0 ALT=\"Sorted in Ascending Order\">");

  style("XP");
  EXPECT_EQ(fsHTMLTableAttributes(ctx), "BORDER=0 CELLSPACING=1 CELLPADDING=3");
  EXPECT_EQ(fsHTMLGraphic(ctx, 3), "<IMG SRC=\"../images/TVKW_XP_EditRecord.gif\" BORDER=0 ALT=\"Edit Record\">");
  EXPECT_NE(fsHTMLStandardHeader(ctx).find("<TH NOWRAP>&nbsp;Orders&nbsp;</TH><TD WIDTH=100%>&nbsp;</TD>\r\n"),
            std::string::npos);

  style("Fancy");
  EXPECT_EQ(fsHTMLTableAttributes(ctx), "");
  EXPECT_EQ(fsHTMLGraphic(ctx, 1), "");
  EXPECT_EQ(fsHTMLStandardFooter(), "</BODY>\r\n</HTML>\r\n");
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(SharedRoutines, ConnectionTextsAreQuoteDoubled) {
  data.SetNodeText(wiz::DataSourceType, "GlobalASADataSource");
  data.SetNodeText(wiz::GlobalASADataSourceName, "Conn");
  EXPECT_NE(fsASPOpenDBConnection(ctx).find(
                "mDbCon.Open Application(\"Conn_ConnectionString\"), Application(\"Conn_RuntimeUserName\"), "
                "Application(\"Conn_RuntimePassword\")\r\n"),
            std::string::npos);
  data.SetNodeText(wiz::DataSourceType, "ConnectionString");
  data.SetNodeText(wiz::ConnectionStringText, "Data Source=\"a%>.mdb\"\r\n");
  GenContext withText{data, templates.path()};
  EXPECT_EQ(fsASPOpenDBConnection(withText),
            "' Open a connection to the database\r\nSet mDbCon = Server.CreateObject (\"ADODB.Connection\")\r\n"
            "mDbCon.open \"Data Source=\"\"a%\" & \">.mdb\"\"\" & vbCrLf & \"\"\r\n");
}

TEST_F(SharedRoutines, LookupArraysOnlyForSwitchedOnHandMadeLists) {
  EXPECT_EQ(fsASPDefineLookupArrays(ctx), "");
  EXPECT_EQ(fsASPGenerateLookupArrays(ctx), "");
  manualList("A", 3);
  manualList("Off", 2, "FALSE");
  manualList("Table", 2, "TRUE", "DatabaseTable");
  manualList("B", 2);
  manualList("Empty", 0);
  manualList("With Blank", 1);
  GenContext withLists{data, templates.path()};
  EXPECT_EQ(fsASPDefineLookupArrays(withLists),
            "Dim maA(1,2)\r\nDim maB(1,1)\r\nDim maEmpty(1,0)\r\nDim maWith_Blank(1,0)\r\n");  // an empty list keeps
                                                                                               // one empty row
  EXPECT_EQ(fsASPGenerateLookupArrays(withLists),
            "Sub GenerateLookupArrays()\r\n\r\n"
            "\t' Fill up the arrays holding the manual lookup lists\r\n"
            "\tmaA(0,0) = \"1\" : \tmaA(1,0) = \"A \"\"1\"\"\"\r\n"
            "\tmaA(0,1) = \"2\" : \tmaA(1,1) = \"A \"\"2\"\"\"\r\n"
            "\tmaA(0,2) = \"3\" : \tmaA(1,2) = \"A \"\"3\"\"\"\r\n\r\n"
            "\tmaB(0,0) = \"1\" : \tmaB(1,0) = \"B \"\"1\"\"\"\r\n"
            "\tmaB(0,1) = \"2\" : \tmaB(1,1) = \"B \"\"2\"\"\"\r\n\r\n"
            "\r\n"
            "\tmaWith_Blank(0,0) = \"1\" : \tmaWith_Blank(1,0) = \"With Blank \"\"1\"\"\"\r\n\r\n"
            "End Sub \r\n\r\n");
}

// VBScript refuses a page that declares one name twice: lists whose names
// come out the same (letter case aside) are numbered, and every use of a
// field's list names its own array.
TEST_F(SharedRoutines, LookupArraysThatWouldShareANameAreNumbered) {
  for (const char* name : {"a b", "a-b", "a_b_2", "A_b", "c"}) {
    manualList(name, 1);
    XmlNode field = data.GetFields().back();
    data.SetSubNodeText(field, wiz::ListShowField, "TRUE");
    data.SetSubNodeText(field, wiz::LookupDisplayType, wiz::kLookupSelectList);
  }
  GenContext page{data, templates.path()};
  // Names no other list wants keep theirs, even one the numbering would
  // reach (a_b_2); the first of the others keeps the plain name.
  EXPECT_EQ(fsASPDefineLookupArrays(page),
            "Dim maa_b(1,0)\r\nDim maa_b_3(1,0)\r\nDim maa_b_2(1,0)\r\nDim maA_b_4(1,0)\r\nDim mac(1,0)\r\n");
  std::string fill = fsASPGenerateLookupArrays(page);
  for (const char* line : {"\tmaa_b(0,0) = \"1\" : \tmaa_b(1,0) = \"a b \"\"1\"\"\"\r\n",
                           "\tmaa_b_3(0,0) = \"1\" : \tmaa_b_3(1,0) = \"a-b \"\"1\"\"\"\r\n",
                           "\tmaA_b_4(0,0) = \"1\" : \tmaA_b_4(1,0) = \"A_b \"\"1\"\"\"\r\n"})
    EXPECT_NE(fill.find(line), std::string::npos) << line << "\n" << fill;
  EXPECT_EQ(page.lookupArrayName("a-b"), "maa_b_3");
  std::vector<std::string> controls;
  for (const FieldInfo& field : page.listFields()) controls.push_back(fsASPLookupControl(field));
  ASSERT_EQ(controls.size(), 5u);
  EXPECT_EQ(controls[1], R"(<% gGenerateHTMLSelectFromArray "a-b", gfsFieldValue(rs,"a-b"), maa_b_3,false %>)");
  EXPECT_EQ(controls[2], R"(<% gGenerateHTMLSelectFromArray "a_b_2", gfsFieldValue(rs,"a_b_2"), maa_b_2,false %>)");
  FieldInfo shown = page.listFields()[3];
  shown.readOnly = wiz::kTrue;
  EXPECT_NE(fsHTMLReadOnlyLookup(shown).find("gfsArrayValue(maA_b_4,"), std::string::npos);
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(SharedRoutines, HeaderTemplateLineEndsAndCodePage) {
  // Lines end alike whatever the file uses; a file that is not UTF-8 is
  // read in the pages' single-byte code page.
  tvk::test::writeFile(templates / "Header.txt", "' a\n' b\r\n' \xA9 \x80");
  EXPECT_EQ(fsASPStandardHeader(ctx),
            "<%@ Language=VBScript %>\r\n<%\r\nOption Explicit\r\nResponse.expires = 0\r\n"
            "Response.CodePage = 1252\r\nResponse.Charset = \"windows-1252\"\r\n"
            "' a\r\n' b\r\n' \xC2\xA9 \xE2\x82\xAC\r\n\r\n");
  tvk::test::writeFile(templates / "Header.txt", "' caf\xC3\xA9\n");
  EXPECT_EQ(fsASPStandardHeader(ctx),
            "<%@ Language=VBScript %>\r\n<%\r\nOption Explicit\r\nResponse.expires = 0\r\n"
            "Response.CodePage = 1252\r\nResponse.Charset = \"windows-1252\"\r\n' caf\xC3\xA9\r\n\r\n\r\n");
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(SharedRoutines, MissingHeaderIsReportedAndAbortLeavesTheBlockOut) {
  ui->pushAnswer(MsgResult::Abort);
  EXPECT_EQ(fsASPStandardHeader(ctx), "");
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("Error No: 53"), std::string::npos) << ui->shown()[0];
  EXPECT_NE(ui->shown()[0].find("Header.txt"), std::string::npos);
  EXPECT_NE(ui->shown()[0].find("Source : TVKWizard.TVKFileCreator.fsASPStandardHeader"), std::string::npos);

  // Retry reads the file again: here it appears while the report is shown.
  struct CreatesHeaderOnReport : Ui {
    std::string path;
    MsgResult messageBox(std::string_view, MsgButtons, MsgIcon, std::string_view) override {
      tvk::test::writeFile(path, "' late");
      return MsgResult::Retry;
    }
    std::string openFileDialog(std::string_view, const std::vector<FileFilter>&, std::string_view) override {
      return {};
    }
    std::string saveFileDialog(std::string_view, const std::vector<FileFilter>&, std::string_view,
                               std::string_view) override {
      return {};
    }
    std::string browseFolder(std::string_view, std::string_view) override { return {}; }
  };
  auto retrying = std::make_shared<CreatesHeaderOnReport>();
  retrying->path = templates / "Header.txt";
  Session inner{retrying};
  XMLWizData innerData{inner};
  GenContext innerCtx{innerData, templates.path()};
  std::string text = fsASPStandardHeader(innerCtx);
  EXPECT_NE(text.find("' late\r\n"), std::string::npos) << text;
}

TEST(LookupControl, NamesGoToTheIncludeQuotedForTheProjectsDatabase) {
  FieldInfo field;
  field.name = "owner";
  field.useLookup = wiz::kTrue;
  field.lookupType = wiz::kLookupDatabaseTable;
  field.displayType = wiz::kLookupSelectList;
  field.lookupTable = "user";
  field.joinField = "id";
  field.showField = "reply-to";
  // An older project: the names as they stand (the include brackets blanks).
  EXPECT_EQ(fsASPLookupControl(field),
            R"(<% gGenerateHTMLSelect "owner", gfsFieldValue(rs,"owner"), "user","id","reply-to",false %>)");
  field.sqlDialect = "PostgreSQL";
  EXPECT_EQ(fsASPLookupControl(field),
            R"(<% gGenerateHTMLSelect "owner", gfsFieldValue(rs,"owner"), """user""","id","""reply-to""",false %>)");
  field.sqlDialect = "MySQL";
  EXPECT_EQ(fsASPLookupControl(field),
            R"(<% gGenerateHTMLSelect "owner", gfsFieldValue(rs,"owner"), "user","id","`reply-to`",false %>)");
}

}  // namespace
}  // namespace tvk::gen
