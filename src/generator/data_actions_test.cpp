#include "generator/data_actions.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/gen_context.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {
namespace {

class DataActions : public test::WizardDocumentTest {
 protected:
  GenContext ctx{data, "/nowhere"};

  XmlNode field(const std::string& name, const std::string& type, bool onForm = true) {
    XmlNode f = test::addFieldRecord(data);
    data.AddSubNode(f, wiz::FieldName, name);
    data.AddSubNode(f, wiz::ColumnLabel, name);
    data.AddSubNode(f, wiz::DataType, type);
    data.SetSubNodeText(f, wiz::FormShowField, onForm ? "TRUE" : "FALSE");
    data.SetSubNodeText(f, wiz::FormFieldOrder, "1");
    return f;
  }
};

TEST_F(DataActions, KeyValuesAreFormattedByTheirBaseType) {
  EXPECT_EQ(fsSQLValueExpression("Request(\"PK\")", 3), "gfsSQLNumberFormat(Request(\"PK\"))");
  EXPECT_EQ(fsSQLValueExpression("x", 20), "gfsSQLNumberFormat(x)");
  EXPECT_EQ(fsSQLValueExpression("x", 131), "gfsSQLNumberFormat(x)");
  EXPECT_EQ(fsSQLValueExpression("x", 202), "gfsSQLTextFormat(x)");
  EXPECT_EQ(fsSQLValueExpression("x", 203), "gfsSQLTextFormat(x)");
  EXPECT_EQ(fsSQLValueExpression("x", 129), "gfsSQLTextFormat(x)");
  EXPECT_EQ(fsSQLValueExpression("x", 135), "gfsSQLDateFormat(x)");
  EXPECT_EQ(fsSQLValueExpression("x", 7), "gfsSQLDateFormat(x)");
  EXPECT_EQ(fsSQLValueExpression("x", 72), "gfsSQLNumberFormat(x)");

  data.SetNodeText(wiz::PrimaryKey, "Code's");  // found without an XPath predicate
  field("Code's", " 202 ");
  EXPECT_EQ(fsKeyValueExpression(ctx, "msPK"), "gfsSQLTextFormat(msPK)");
}

TEST_F(DataActions, ListWithFormWhoseFormAllowsNothingHasOnlyTheListCase) {
  data.SetNodeText(wiz::ProjectType, "ListForm");
  data.SetNodeText(wiz::ProjectName, "Orders");
  EXPECT_EQ(fsASPPerformDataActions(ctx),
            "Sub PerformDataActions\r\n\r\n"
            "\t' Run an action if the user clicks on an update button (Add, Update, Delete etc)\r\n"
            "\t' If the data action succeeds then set DataAction to empty string\r\n\r\n"
            "\tSelect Case msDataAction\r\n\r\n"
            "\t\tCase sLIST_BUTTON\r\n"
            "\t\t\tResponse.Redirect \"OrdersList.asp?PK=\" & Server.URLEncode(msPK)\r\n"
            "\t\t\tResponse.end\r\n\r\n"
            "\tEnd Select\r\n\r\nEnd Sub\r\n\r\n");
}

TEST_F(DataActions, FormThatReturnsToTheListAfterADelete) {
  data.SetNodeText(wiz::ProjectType, "ListForm");
  data.SetNodeText(wiz::ProjectName, "My\"Page");
  data.SetNodeText(wiz::FormAllowDeleteRecord, "TRUE");
  std::string text = fsASPPerformDataActions(ctx);
  EXPECT_EQ(text.find("sLIST_BUTTON"), std::string::npos);
  EXPECT_NE(text.find("\t\tCase sCANCEL_BUTTON\r\n\t\t\tResponse.Redirect \"My%22PageList.asp?PK=\""),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\t\t\t\tResponse.Redirect \"My%22PageList.asp?CurrPage=\" & "
                      "Server.URLEncode(Request(\"CurrPage\"))\r\n\t\t\t\tResponse.end\r\n"),
            std::string::npos)
      << text;
}

TEST_F(DataActions, RecordRoutinesWithoutFieldsAreStillWhole) {
  data.SetNodeText(wiz::TableName, "T");
  data.SetNodeText(wiz::PrimaryKey, "ID");
  field("ID", "3", false);
  std::string insert = fsASPFormInsertRecord(ctx);
  EXPECT_NE(insert.find("\tOn Error Resume Next\r\n\r\n\t' Now find out if everything worked\r\n"), std::string::npos)
      << insert;
  EXPECT_EQ(insert.substr(insert.size() - 16), "End Function\r\n\r\n");
  std::string update = fsASPFormUpdateRecord(ctx);
  EXPECT_NE(update.find("sSQL = \"SELECT * FROM T WHERE ID = \" & gfsSQLNumberFormat(msPK)\r\n"), std::string::npos);
  // A key the database refuses ends as a failed update, not a stopped page.
  EXPECT_NE(update.find("\tOn Error Resume Next\r\n\trs.Open sSQL, mDbCon, 3, 3 ' adOpenStatic, adLockOptimistic\r\n"
                        "\tIf Err.Number <> 0 Then\r\n"),
            std::string::npos)
      << update;
  // The insert opens no rows, and both routines change nothing unverified.
  EXPECT_NE(insert.find("\trs.Open \"SELECT * FROM T WHERE 1=0\", mDbCon, 1, 3"), std::string::npos) << insert;
  for (const std::string& text : {insert, update, fsASPDeleteRecord(ctx)})
    EXPECT_NE(text.find("\r\n\r\n\t' Only a form of this site, posted in this session, may change records\r\n"
                        "\tIf Not gfbVerifiedChange() Then\r\n"),
              std::string::npos)
        << text;
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(DataActions, UnreadableDataTypesAreReportedAndAbortReturnsNothing) {
  data.SetNodeText(wiz::TableName, "T");
  data.SetNodeText(wiz::PrimaryKey, "ID");
  field("Flag", "yes");
  ui->pushAnswer(MsgResult::Abort);
  EXPECT_EQ(fsASPFormInsertRecord(ctx), "");
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("Error No: 13"), std::string::npos) << ui->shown()[0];
  EXPECT_NE(ui->shown()[0].find("TVKFileCreator.fsASPFormInsertRecord"), std::string::npos);

  // The key has no field record: the delete routine cannot tell how to
  // format it.
  ui->pushAnswer(MsgResult::Abort);
  EXPECT_EQ(fsASPDeleteRecord(ctx), "");
  ASSERT_EQ(ui->shown().size(), 2u);
  EXPECT_NE(ui->shown()[1].find("primary key ID"), std::string::npos) << ui->shown()[1];
}

}  // namespace
}  // namespace tvk::gen
