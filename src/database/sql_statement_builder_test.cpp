#include "database/sql_statement_builder.h"

#include <gtest/gtest.h>

#include <string>

#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {
namespace {

class SqlStatementBuilder : public test::WizardDocumentTest {
 protected:
  void table(const std::string& name, const std::string& key, const std::string& provider = "OTHER") {
    data.SetNodeText(wiz::TableName, name);
    data.SetNodeText(wiz::PrimaryKey, key);
    data.SetNodeText(wiz::DataProvider, provider);
  }

  // A field shown on the list page; with `lookup` ("Table/Join/Show") it
  // looks its value up in a database table.
  XmlNode field(const std::string& name, const std::string& lookup = "", bool required = false,
                const std::string& type = "DatabaseTable") {
    XmlNode f = test::addFieldRecord(data);
    data.AddSubNode(f, wiz::FieldName, name);
    data.SetSubNodeText(f, wiz::FieldRequired, required ? "TRUE" : "FALSE");
    data.SetSubNodeText(f, wiz::ListShowField, "TRUE");
    if (!lookup.empty()) {
      size_t a = lookup.find('/'), b = lookup.rfind('/');
      data.SetSubNodeText(f, wiz::UseLookupTable, "TRUE");
      data.SetSubNodeText(f, wiz::LookupTableType, type);
      data.SetSubNodeText(f, wiz::LookupTableName, lookup.substr(0, a));
      data.SetSubNodeText(f, wiz::LookupJoinField, lookup.substr(a + 1, b - a - 1));
      data.SetSubNodeText(f, wiz::LookupShowField, lookup.substr(b + 1));
    } else {
      data.SetSubNodeText(f, wiz::UseLookupTable, "FALSE");
    }
    return f;
  }

  std::string statement() {
    SetupGenerationData(data);
    return data.GetNodeText(wiz::SQLStatement);
  }
};

TEST_F(SqlStatementBuilder, JetNestsEveryJoinButASingleOne) {
  table("Orders", "OrderID", "JET");
  field("OrderDate");
  field("CustomerID", "Customers/CustomerID/CompanyName");
  EXPECT_EQ(statement(),
            "SELECT OrderID, Orders.OrderDate, Orders.CustomerID, Customers.CompanyName FROM Orders LEFT OUTER "
            "JOIN Customers ON Orders.CustomerID = Customers.CustomerID ");
  field("EmployeeID", "Employees/EmployeeID/LastName");
  std::string sql = statement();
  EXPECT_NE(sql.find("FROM ((Orders LEFT OUTER JOIN Customers ON Orders.CustomerID = Customers.CustomerID ) "
                     "LEFT OUTER JOIN Employees ON Orders.EmployeeID = Employees.EmployeeID ) "),
            std::string::npos)
      << sql;
  EXPECT_EQ(sql.substr(sql.size() - 2), ") ");
  field("ShipVia", "Shippers/ShipperID/CompanyName");
  EXPECT_NE(statement().find("FROM (((Orders "), std::string::npos);
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(SqlStatementBuilder, KeysBlanksJoinKindsAndManualLists) {
  // A table name with a blank is bracketed everywhere, prefixes included; a
  // displayed key is selected once, qualified; a required lookup joins
  // inner, an optional one outer; a hand-made list adds no join.
  table("Order Details", "OrderID");
  field("OrderID");
  field("ProductID", "Products/ProductID/ProductName", true);
  field("Discount", "Discounts/Code/Label", false);
  field("Unit", "x/y/z", true, "ManualList");
  EXPECT_EQ(statement(),
            "SELECT [Order Details].OrderID, [Order Details].ProductID, Products.ProductName, "
            "[Order Details].Discount, Discounts.Label, [Order Details].Unit FROM [Order Details] "
            "INNER JOIN Products ON [Order Details].ProductID = Products.ProductID "
            "LEFT OUTER JOIN Discounts ON [Order Details].Discount = Discounts.Code ");
}

TEST_F(SqlStatementBuilder, ClashingShownColumnsGetAliases) {
  table("Orders", "OrderID");
  XmlNode customer = field("CustomerID", "Customers/CustomerID/Name");
  XmlNode employee = field("EmployeeID", "Employees/EmployeeID/Name");
  XmlNode shipper = field("ShipVia", "Shippers/ShipperID/CompanyName");
  EXPECT_EQ(statement(),
            "SELECT OrderID, Orders.CustomerID, Customers.Name AS Customers_Name, Orders.EmployeeID, "
            "Employees.Name AS Employees_Name, Orders.ShipVia, Shippers.CompanyName FROM Orders "
            "LEFT OUTER JOIN Customers ON Orders.CustomerID = Customers.CustomerID "
            "LEFT OUTER JOIN Employees ON Orders.EmployeeID = Employees.EmployeeID "
            "LEFT OUTER JOIN Shippers ON Orders.ShipVia = Shippers.ShipperID ");
  EXPECT_EQ(data.GetSubNodeText(customer, wiz::LookupShowFieldAlias), "Customers_Name");
  EXPECT_EQ(data.GetSubNodeText(employee, wiz::LookupShowFieldAlias), "Employees_Name");
  EXPECT_FALSE(data.GetSubNode(shipper, wiz::LookupShowFieldAlias));

  // An alias from an earlier run stays; a blank one counts as none.
  data.SetSubNodeText(shipper, wiz::LookupShowFieldAlias, "   ");
  EXPECT_NE(statement().find("Shippers.CompanyName FROM"), std::string::npos);
}

TEST_F(SqlStatementBuilder, NothingToSelectIsReportedAndNotStored) {
  table("T", "");
  data.SetNodeText(wiz::SQLStatement, "SELECT old FROM T ");
  ui->pushAnswer(MsgResult::Abort);
  SetupGenerationData(data);
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("Source : TVKWizard.frmWizard.SetupSQLStatement"), std::string::npos) << ui->shown()[0];
  EXPECT_EQ(data.GetNodeText(wiz::SQLStatement), "SELECT old FROM T ");
}

TEST_F(SqlStatementBuilder, NamesQuotedByTheStoredDialect) {
  // PostgreSQL: a reserved table name, a hyphenated column, a schema-qualified lookup.
  table("user", "id");
  data.SetNodeText(wiz::SQLDialect, "PostgreSQL");
  field("reply-to");
  field("group", "archive.groups/id/Name");
  EXPECT_EQ(statement(),
            "SELECT id, \"user\".\"reply-to\", \"user\".\"group\", archive.groups.\"Name\" FROM \"user\" "
            "LEFT OUTER JOIN archive.groups ON \"user\".\"group\" = archive.groups.id ");
  // The same document for MySQL (where "groups" is reserved, "user" not)
  // and for SQL Server.
  data.SetNodeText(wiz::SQLDialect, "MySQL");
  EXPECT_EQ(statement(),
            "SELECT id, user.`reply-to`, user.`group`, archive.`groups`.Name FROM user LEFT OUTER JOIN "
            "archive.`groups` ON user.`group` = archive.`groups`.id ");
  data.SetNodeText(wiz::SQLDialect, "SQLServer");
  EXPECT_EQ(statement(),
            "SELECT id, [user].[reply-to], [user].[group], archive.groups.Name FROM [user] LEFT OUTER JOIN "
            "archive.groups ON [user].[group] = archive.groups.id ");
  // Without a stored dialect (an older project file): blanks only, as ever.
  data.SetNodeText(wiz::SQLDialect, "");
  EXPECT_EQ(statement(),
            "SELECT id, user.reply-to, user.group, archive.groups.Name FROM user LEFT OUTER JOIN archive.groups ON "
            "user.group = archive.groups.id ");
}

}  // namespace
}  // namespace tvk
