// The list page writers: the page outline's optional parts and the routines
// whose shape follows the fields (header, list line, edit row).
#include "generator/list_page.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "generator/gen_context.h"
#include "generator/list_routines.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {
namespace {

const std::string kTemplates = std::string(TVK_SOURCE_DIR) + "/tests/generator/templates";

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

class ListPage : public test::WizardDocumentTest {
 protected:
  int order = 0;

  void SetUp() override {
    data.SetNodeText(wiz::ProjectType, "List");
    data.SetNodeText(wiz::ProjectStyle, "Basic");
    data.SetNodeText(wiz::ProjectName, "Orders");
    data.SetNodeText(wiz::FileDirectory, "/web/site");
    data.SetNodeText(wiz::IncludeDirectory, "/web/site/inc");
    data.SetNodeText(wiz::StylesheetDirectory, "/web/site");
    data.SetNodeText(wiz::DataSourceType, "ConnectionString");
    data.SetNodeText(wiz::ConnectionStringText, "DSN=Orders");
    data.SetNodeText(wiz::TableName, "Orders");
    data.SetNodeText(wiz::PrimaryKey, "OrderID");
    data.SetNodeText(wiz::SQLStatement, "SELECT * FROM Orders");
  }

  // A shown field; the description is deliberately left blank: writers
  // decide by the type code.
  XmlNode field(const std::string& name, const std::string& type, const std::string& size, bool readOnly = false,
                bool sortable = false) {
    XmlNode f = test::addFieldRecord(data);
    data.AddSubNode(f, wiz::FieldName, name);
    data.AddSubNode(f, wiz::ColumnLabel, name + " \"label\"");
    data.AddSubNode(f, wiz::DataType, type);
    data.AddSubNode(f, wiz::DataTypeDesc, "");
    data.AddSubNode(f, wiz::FieldSize, size);
    data.AddSubNode(f, wiz::FieldRequired, "FALSE");
    data.AddSubNode(f, wiz::FieldReadOnly, readOnly ? "TRUE" : "FALSE");
    data.AddSubNode(f, wiz::AllowSorting, sortable ? "TRUE" : "FALSE");
    data.SetSubNodeText(f, wiz::ListShowField, "TRUE");
    data.SetSubNodeText(f, wiz::ListFieldOrder, std::to_string(++order));
    return f;
  }

  XmlNode lookup(const std::string& name, const std::string& tableType, bool readOnly, bool sortable = false) {
    XmlNode f = field(name, "3", "4", readOnly, sortable);
    data.SetSubNodeText(f, wiz::UseLookupTable, "TRUE");
    data.SetSubNodeText(f, wiz::LookupTableType, tableType);
    data.SetSubNodeText(f, wiz::LookupDisplayType, "SelectList");
    data.SetSubNodeText(f, wiz::LookupTableName, "Shippers");
    data.SetSubNodeText(f, wiz::LookupJoinField, "ShipperID");
    data.SetSubNodeText(f, wiz::LookupShowField, "CompanyName");
    return f;
  }

  void paging(bool on) {
    data.SetNodeText(wiz::AllowPaging, on ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::RecordsPerPage, "10");
    data.SetNodeText(wiz::ListSkip1Buttons, "TRUE");
    data.SetNodeText(wiz::PageNumberAllowPaging, "TRUE");
    data.SetNodeText(wiz::MaxDirectPages, "5");
  }

  std::string page() {
    GenContext ctx{data, kTemplates};
    return fsListPageText(ctx);
  }
};

TEST_F(ListPage, PagingAddsThePageSizeTheCurrentPageAndTheNavigationRoutines) {
  field("Name", "202", "40");
  paging(false);
  std::string off = page();
  paging(true);
  std::string on = page();

  for (std::string_view part :
       {"Const mnPAGE_SIZE = 10\r\n", "Const mnMAX_DIRECT_PAGES = 5\r\n", "Dim mnCurrPage\r\nDim mnMaxPage\r\n",
        "mnCurrPage = Request(\"CurrPage\")\r\n", "\tDo Until i = mnPAGE_SIZE Or rs.EOF\r\n",
        "\trs.PageSize = mnPAGE_SIZE\r\n", "\tmnCurrPage = CLng(mnCurrPage)\r\n", "DisplayPageNavButtons\r\n",
        "DisplayDirectPageNav\r\n", "Sub DisplayPageNavButtons\r\n", "Sub DisplayDirectPageNav\r\n"}) {
    EXPECT_TRUE(contains(on, part)) << part;
    EXPECT_FALSE(contains(off, part)) << part;
  }
  EXPECT_TRUE(contains(off, "\tDo Until rs.EOF\r\n"));
  EXPECT_TRUE(contains(off, "\trs.Open sSQL, mdbCon\r\n"));
  // Without paging and without anything to add, the list has no navigation
  // bar at all.
  EXPECT_FALSE(contains(off, "<BR><TABLE BORDER=0"));

  // Either way the page keeps its outline: every banner once, in order, and
  // the page ends with the script's closing mark.
  for (const std::string& text : {off, on}) {
    size_t at = 0;
    for (std::string_view title :
         {"INCLUDE FILES", "CONSTANTS", "GLOBAL VARS", "SETUP", "TERMINATE", "ROUTINES", "DATABASE ROUTINES"}) {
      size_t found = text.find(fsBanner(title) + "\r\n", at);
      ASSERT_NE(found, std::string::npos) << title;
      at = found + 1;
    }
    EXPECT_EQ(text.substr(text.size() - 4), "%>\r\n");
  }
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(ListPage, EverySortableColumnGetsASortingHeader) {
  field("Name", "202", "40", false, true);
  field("Notes", "203", "0");
  lookup("ShipVia", "DatabaseTable", false, true);
  // A table the statement joins a second time sorts through its alias.
  XmlNode again = lookup("ReturnVia", "DatabaseTable", false, true);
  data.SetSubNodeText(again, wiz::LookupTableAlias, "Shippers_1");
  data.SetSubNodeText(again, wiz::LookupShowFieldAlias, "Shippers_1_CompanyName");
  GenContext ctx{data, kTemplates};
  EXPECT_EQ(
      fsASPDisplayListHeader(ctx),
      test::lines({
          "Sub DisplayListHeader",
          "\t' Display the header for the table",
          "\tResponse.write \"<THEAD><TR>\"",
          "\tResponse.write \"<TH>\" & fsSortingHeader(\"Orders.Name\",\"Name \"\"label\"\"\") & \"</TH>\"",
          "\tResponse.write \"<TH>Notes \"\"label\"\"</TH>\"",
          // A looked-up column sorts by the looked-up text.
          "\tResponse.write \"<TH>\" & fsSortingHeader(\"Shippers.CompanyName\",\"ShipVia \"\"label\"\"\") & \"</TH>\"",
          "\tResponse.write \"<TH>\" & fsSortingHeader(\"Shippers_1.CompanyName\",\"ReturnVia \"\"label\"\"\") & "
          "\"</TH>\"",
          "\tResponse.write \"</TR></THEAD>\"",
          "End Sub",
          "",
      }));
  std::string sorted = page();
  EXPECT_TRUE(contains(sorted, "Function fsSortingHeader(sFieldName, sDisplayName)\r\n"));
  EXPECT_TRUE(contains(sorted, "Array(\"Orders.Name\", \"Shippers.CompanyName\", \"Shippers_1.CompanyName\")"));
  EXPECT_TRUE(contains(fsASPDisplayListLine(ctx), "gfsFormatOutput(rs(\"Shippers_1_CompanyName\"))"));
  EXPECT_TRUE(contains(sorted, "\tIf msSortOrder <> \"\" Then\r\n"));
}

TEST_F(ListPage, WithoutSortableColumnsNothingSorts) {
  field("Name", "202", "40");
  std::string text = page();
  for (std::string_view part : {"fsSortingHeader", "msSortField", "msSortOrderURL", "ORDER BY"})
    EXPECT_FALSE(contains(text, part)) << part;
}

TEST_F(ListPage, EditRowAndListLineWriteEachFieldKind) {
  data.SetNodeText(wiz::ListAllowUpdateRecord, "TRUE");
  field("Name", "202", "40");
  field("Active", "11", "2");
  field("Notes", "203", "0");  // long text
  field("Code", "202", "5", true);
  lookup("ShipVia", "DatabaseTable", false);
  lookup("Zone", "ManualList", true);
  GenContext ctx{data, kTemplates};

  std::string edit = fsASPDisplayEditLine(ctx);
  for (std::string_view part : {
           "\t<TD>\r\n\t<INPUT TYPE=\"Text\" NAME=\"Name\" VALUE=\"<%= gfsFieldValue(rs,\"Name\") %>\" SIZE=\"40\" "
           "MAXLENGTH=\"40\" >\r\n\t<BR><%= gfsFieldError(\"Name\") %>\r\n\t</TD>\r\n\r\n",
           // Decided by the type code: the description says nothing here.
           "\t<INPUT TYPE=\"Checkbox\" NAME=\"Active\" VALUE=\"1\" <%= gfsFieldChecked(gfsFieldValue(rs,\"Active\")) "
           "%>>\r\n",
           // The row stays one line high: a long text keeps a one-line input.
           "\t<INPUT TYPE=\"Text\" NAME=\"Notes\" VALUE=\"<%= gfsFieldValue(rs,\"Notes\") %>\">\r\n",
           // A read-only field: the carrier's comment goes on after the input.
           "CLASS=\"READONLY\" >\t<!-- If DISABLED then result will not be posted back",
           "\t<INPUT TYPE=\"HIDDEN\" NAME=\"Code\" VALUE=\"<%= gfsFieldValue(rs,\"Code\") %>\" >\r\n\t<BR>",
           "\t<% gGenerateHTMLSelect \"ShipVia\", gfsFieldValue(rs,\"ShipVia\"), "
           "\"Shippers\",\"ShipperID\",\"CompanyName\",false %>\r\n\t<BR>",
           // A read-only lookup ends its own line.
           "\t<INPUT TYPE=\"Text\" NAME=\"Zone\" VALUE=\"<%= gfsHTMLEncode(gfsArrayValue(maZone,gfsFieldValue(rs,"
           "\"Zone\"))) %>\" DISABLED CLASS=\"READONLY\" >\r\n\r\n\t<BR>",
           "<TD COLSPAN=\"7\" ALIGN=RIGHT>",
       })
    EXPECT_TRUE(contains(edit, part)) << part << "\n" << edit;
  EXPECT_FALSE(contains(edit, "TEXTAREA"));
  EXPECT_FALSE(contains(edit, "NAME=\"ShipVia\" VALUE"));  // a lookup has no carrier

  std::string line = fsASPDisplayListLine(ctx);
  for (std::string_view part : {
           "\tResponse.write \"<TD>\" & gfsFormatOutput(rs(\"Name\")) & \"</TD>\"\r\n",
           "\tResponse.write \"<TD><INPUT TYPE=\"\"CHECKBOX\"\" \" & gfsFieldChecked(rs(\"Active\")) & \" "
           "DISABLED></TD>\"\r\n",
           "\tResponse.write \"<TD>\" & gfsFormatOutput(rs(\"CompanyName\")) & \"</TD>\"\r\n",
           "\tResponse.write \"<TD>\" & gfsFormatOutput(gfsArrayValue(maZone,rs(\"Zone\"))) & \"</TD>\"\r\n",
           // The edit link goes to the list's own edit row.
           "\tResponse.write \"<TH><A HREF=\"\"\" & gfsHTMLEncode(\"?DataAction=\" & sEDIT_BUTTON & \"&PK=\" & "
           "gfsURLEncode(rs(\"OrderID\"))) & \"\"\">Edit</A></TH>\"\r\n",
       })
    EXPECT_TRUE(contains(line, part)) << part << "\n" << line;
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(ListPage, NumberInputsTakeTheLongestNumberOfTheirType) {
  // Type code, defined size (bytes, or a decimal's precision), the width.
  const std::vector<std::array<std::string, 3>> cases = {
      {"17", "1", "3"}, {"16", "1", "4"},    {"18", "2", "5"},   {"2", "2", "6"},   {"19", "4", "10"},
      {"3", "4", "11"}, {"20", "8", "20"},   {"21", "8", "20"},  {"6", "8", "21"},  {"4", "4", "24"},
      {"5", "8", "24"}, {"131", "10", "12"}, {"14", "19", "21"}, {"139", "5", "7"}, {"202", "40", "40"},
  };
  data.SetNodeText(wiz::ListAllowUpdateRecord, "TRUE");
  for (size_t i = 0; i < cases.size(); ++i) field("N" + std::to_string(i), cases[i][0], cases[i][1]);
  field("Unsized", "131", "0");
  GenContext ctx{data, kTemplates};
  std::string edit = fsASPDisplayEditLine(ctx);
  for (size_t i = 0; i < cases.size(); ++i) {
    std::string name = "N" + std::to_string(i);
    std::string input = "NAME=\"" + name + "\" VALUE=\"<%= gfsFieldValue(rs,\"" + name + "\") %>\" SIZE=\"" +
                        cases[i][2] + "\" MAXLENGTH=\"" + cases[i][2] + "\" >";
    EXPECT_TRUE(contains(edit, input)) << "type " << cases[i][0] << ": " << input;
  }
  // A decimal without a precision gets no limit, as a field without size.
  EXPECT_TRUE(contains(edit, "NAME=\"Unsized\" VALUE=\"<%= gfsFieldValue(rs,\"Unsized\") %>\">"));
}

TEST_F(ListPage, EditLinkCarriesPageAndSortOrderAndOpensTheFormOfAListForm) {
  data.SetNodeText(wiz::ProjectType, "ListForm");
  field("Name", "202", "40", false, true);
  paging(true);
  GenContext ctx{data, kTemplates};
  EXPECT_TRUE(contains(fsASPDisplayListLine(ctx),
                       "\tResponse.write \"<TH><A HREF=\"\"\" & gfsHTMLEncode(\"OrdersForm.asp?DataAction=\" & "
                       "sEDIT_BUTTON & \"&PK=\" & gfsURLEncode(rs(\"OrderID\")) & \"&CurrPage=\" & mnCurrPage & "
                       "msSortOrderURL) & \"\"\">Edit</A></TH>\"\r\n"));
  // The project name is part of a URL.
  data.SetNodeText(wiz::ProjectName, "My \"Orders\"");
  EXPECT_TRUE(contains(fsASPDisplayListLine(ctx), "gfsHTMLEncode(\"My%20%22Orders%22Form.asp?DataAction="));
  // A list-with-form list has no edit row of its own.
  std::string text = page();
  EXPECT_FALSE(contains(text, "Sub DisplayEditLine"));
  EXPECT_TRUE(contains(text, "Sub DisplayAddButton\r\n"));
}

}  // namespace
}  // namespace tvk::gen
