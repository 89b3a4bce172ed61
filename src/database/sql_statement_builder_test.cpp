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

TEST_F(SqlStatementBuilder, TableJoinedAgainGetsItsOwnAlias) {
  // A parent key into the page's own table, a second key into it, and a
  // lookup into a table whose name is the first alias that would come up:
  // each repeat gets the next free alias and is named through it in the
  // columns and the join; the hidden key is qualified, as the joined copies
  // of the table have a column of its name.
  table("hosts", "hostid");
  field("host");
  XmlNode proxy = field("proxy_hostid", "hosts/hostid/host");
  XmlNode templ = field("templateid", "hosts/hostid/host");
  XmlNode group = field("groupid", "hosts_1/groupid/name");
  EXPECT_EQ(statement(),
            "SELECT hosts.hostid, hosts.host, hosts.proxy_hostid, hosts_2.host AS hosts_2_host, hosts.templateid, "
            "hosts_3.host AS hosts_3_host, hosts.groupid, hosts_1.name FROM hosts "
            "LEFT OUTER JOIN hosts AS hosts_2 ON hosts.proxy_hostid = hosts_2.hostid "
            "LEFT OUTER JOIN hosts AS hosts_3 ON hosts.templateid = hosts_3.hostid "
            "LEFT OUTER JOIN hosts_1 ON hosts.groupid = hosts_1.groupid ");
  EXPECT_EQ(data.GetSubNodeText(proxy, wiz::LookupTableAlias), "hosts_2");
  EXPECT_EQ(data.GetSubNodeText(templ, wiz::LookupTableAlias), "hosts_3");
  EXPECT_FALSE(data.GetSubNode(group, wiz::LookupTableAlias));

  // Once the lookup no longer repeats a table, its alias goes.
  data.SetSubNodeText(templ, wiz::LookupTableName, "templates");
  EXPECT_NE(statement().find("LEFT OUTER JOIN templates ON hosts.templateid = templates.hostid "), std::string::npos);
  EXPECT_EQ(data.GetSubNodeText(templ, wiz::LookupTableAlias), "");
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(SqlStatementBuilder, TablesOfOneNameInTwoSchemasAreToldApart) {
  // The statement's columns know archive.regions as "regions", as they know
  // the default schema's regions: the second one joined goes by an alias.
  table("sites", "site_id");
  data.SetNodeText(wiz::SQLDialect, "PostgreSQL");
  field("region_code", "regions/code/label");
  XmlNode old = field("old_region", "archive.regions/region_id/region_name");
  EXPECT_EQ(statement(),
            "SELECT site_id, sites.region_code, regions.label, sites.old_region, regions_1.region_name "
            "FROM sites LEFT OUTER JOIN regions ON sites.region_code = regions.code "
            "LEFT OUTER JOIN archive.regions AS regions_1 ON sites.old_region = regions_1.region_id ");
  EXPECT_EQ(data.GetSubNodeText(old, wiz::LookupTableAlias), "regions_1");
  // A shown column that needs an alias is named by the table without its
  // schema.
  XmlNode code = field("code", "archive.zones/zone_id/code");
  EXPECT_NE(statement().find("zones.code AS zones_code FROM"), std::string::npos) << statement();
  removeXmlNode(code);
  // The page's own table too.
  table("regions", "code");
  EXPECT_NE(statement().find("FROM regions LEFT OUTER JOIN regions AS regions_1 ON regions.region_code = "
                             "regions_1.code LEFT OUTER JOIN archive.regions AS regions_2 ON "),
            std::string::npos)
      << statement();
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(SqlStatementBuilder, HiddenKeyIsQualifiedWhenAnotherSchemasTableOfItsNameIsJoined) {
  // archive.zones is known as zones too, and has the columns of the page's
  // own table: the key that is not shown would be ambiguous bare.
  table("zones", "zone_id");
  data.SetNodeText(wiz::SQLDialect, "PostgreSQL");
  field("name");
  field("merged_into", "archive.zones/old_id/name");
  EXPECT_EQ(statement().rfind("SELECT zones.zone_id, zones.name, zones.merged_into, zones_1.name AS zones_1_name ", 0),
            0u)
      << statement();
}

TEST_F(SqlStatementBuilder, ShownColumnAliasesAreUniqueInTheStatement) {
  // Two lookups into one table showing the same column; the second one's
  // alias from an earlier run names the first one's column and is replaced.
  // A table name with blanks makes a plain alias; JET takes "AS" for it.
  table("alerts", "alertid", "JET");
  field("userid", "users/userid/name");
  XmlNode acknowledged = field("ack_userid", "users/userid/name");
  data.SetSubNodeText(acknowledged, wiz::LookupShowFieldAlias, "USERS_NAME");
  field("kind", "Alert Kinds/kind/name");
  field("old_kind", "Alert Kinds/kind/label");
  EXPECT_EQ(statement(),
            "SELECT alertid, alerts.userid, users.name AS users_name, alerts.ack_userid, users_1.name AS "
            "USERS_NAME_2, alerts.kind, [Alert Kinds].name AS [Alert Kinds_name], alerts.old_kind, "
            "Alert_Kinds_1.label FROM ((((alerts LEFT OUTER JOIN users ON alerts.userid = users.userid ) "
            "LEFT OUTER JOIN users AS users_1 ON alerts.ack_userid = users_1.userid ) "
            "LEFT OUTER JOIN [Alert Kinds] ON alerts.kind = [Alert Kinds].kind ) "
            "LEFT OUTER JOIN [Alert Kinds] AS Alert_Kinds_1 ON alerts.old_kind = Alert_Kinds_1.kind ) ");
}

TEST_F(SqlStatementBuilder, HiddenKeyQualifiedOnlyWhenAJoinedTableHasItsName) {
  // A lookup that joins on a column of the key's name (any case).
  table("comments", "id");
  field("body");
  field("user_id", "users/ID/name");
  const std::string rest =
      "comments.body, comments.user_id, users.name FROM comments LEFT OUTER JOIN users ON comments.user_id = "
      "users.ID ";
  EXPECT_EQ(statement(), "SELECT comments.id, " + rest);
  // Without such a column the key stays as it was written.
  table("comments", "comment_id");
  EXPECT_EQ(statement(), "SELECT comment_id, " + rest);
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
  // PostgreSQL: a reserved table name, a hyphenated column, a schema-qualified lookup
  // (joined by a column of the key's name, so the hidden key is qualified).
  table("user", "id");
  data.SetNodeText(wiz::SQLDialect, "PostgreSQL");
  field("reply-to");
  field("group", "archive.groups/id/Name");
  EXPECT_EQ(statement(),
            "SELECT \"user\".id, \"user\".\"reply-to\", \"user\".\"group\", archive.groups.\"Name\" FROM \"user\" "
            "LEFT OUTER JOIN archive.groups ON \"user\".\"group\" = archive.groups.id ");
  // The same document for MySQL (where "groups" is reserved, "user" not)
  // and for SQL Server.
  data.SetNodeText(wiz::SQLDialect, "MySQL");
  EXPECT_EQ(statement(),
            "SELECT user.id, user.`reply-to`, user.`group`, archive.`groups`.Name FROM user LEFT OUTER JOIN "
            "archive.`groups` ON user.`group` = archive.`groups`.id ");
  data.SetNodeText(wiz::SQLDialect, "SQLServer");
  EXPECT_EQ(statement(),
            "SELECT [user].id, [user].[reply-to], [user].[group], archive.groups.Name FROM [user] LEFT OUTER JOIN "
            "archive.groups ON [user].[group] = archive.groups.id ");
  // Without a stored dialect (an older project file): blanks only, as ever.
  data.SetNodeText(wiz::SQLDialect, "");
  EXPECT_EQ(
      statement(),
      "SELECT user.id, user.reply-to, user.group, archive.groups.Name FROM user LEFT OUTER JOIN archive.groups ON "
      "user.group = archive.groups.id ");
}

}  // namespace
}  // namespace tvk
