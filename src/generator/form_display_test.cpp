#include "generator/form_display.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/gen_context.h"
#include "support/wizard_document.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::gen {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The buttons of DisplayRecordActionButtons in the order written, by their
// constants' names: "/" between the adding case and the others, braces
// around those shown only when there is a record.
std::string buttons(const std::string& routine) {
  std::string shape;
  for (size_t at = 0; at < routine.size();) {
    size_t button = routine.find("_BUTTON %>", at), guard = routine.find("If Not mbEmptyRS Then", at),
           end = routine.find("End If", at), other = routine.find("Case Else", at);
    size_t next = std::min({button, guard, end, other});
    if (next == std::string::npos) break;
    if (next == button) {
      size_t name = routine.rfind(" s", button) + 2;
      shape += (shape.empty() || shape.back() == '{' ? "" : " ") + routine.substr(name, button - name);
    } else {
      shape += next == guard ? " {" : next == end ? "}" : " /";
    }
    at = next + 1;
  }
  return shape;
}

class FormDisplay : public test::WizardDocumentTest {
 protected:
  GenContext ctx{data, "/nowhere"};
  int order = 0;

  void SetUp() override {
    data.SetNodeText(wiz::ProjectType, "Form");
    data.SetNodeText(wiz::ProjectStyle, "Classic");
    data.SetNodeText(wiz::ProjectName, "Orders");
    data.SetNodeText(wiz::PrimaryKey, "OrderID");
  }

  void options(bool add, bool update, bool remove) {
    data.SetNodeText(wiz::FormAllowAddRecord, add ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormAllowUpdateRecord, update ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormAllowDeleteRecord, remove ? "TRUE" : "FALSE");
  }

  void navigation(bool on, bool step, bool ends, bool number) {
    data.SetNodeText(wiz::AllowNavigation, on ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormSkip1Buttons, step ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::FormSkipEndButtons, ends ? "TRUE" : "FALSE");
    data.SetNodeText(wiz::DisplayRecordNo, number ? "TRUE" : "FALSE");
  }

  XmlNode field(const std::string& name, const std::string& type, const std::string& desc, const std::string& size,
                bool required = false, bool readOnly = false) {
    XmlNode f = test::addFieldRecord(data);
    data.AddSubNode(f, wiz::FieldName, name);
    data.AddSubNode(f, wiz::ColumnLabel, name + " label");
    data.AddSubNode(f, wiz::DataType, type);
    data.AddSubNode(f, wiz::DataTypeDesc, desc);
    data.AddSubNode(f, wiz::FieldSize, size);
    data.AddSubNode(f, wiz::FieldRequired, required ? "TRUE" : "FALSE");
    data.AddSubNode(f, wiz::FieldReadOnly, readOnly ? "TRUE" : "FALSE");
    data.SetSubNodeText(f, wiz::FormShowField, "TRUE");
    data.SetSubNodeText(f, wiz::FormFieldOrder, std::to_string(++order));
    return f;
  }

  XmlNode lookup(const std::string& name, const std::string& tableType, const std::string& displayType,
                 bool required = false, bool readOnly = false) {
    XmlNode f = field(name, "3", "Integer", "4", required, readOnly);
    data.SetSubNodeText(f, wiz::UseLookupTable, "TRUE");
    data.SetSubNodeText(f, wiz::LookupTableType, tableType);
    data.SetSubNodeText(f, wiz::LookupDisplayType, displayType);
    data.SetSubNodeText(f, wiz::LookupTableName, "Shippers");
    data.SetSubNodeText(f, wiz::LookupJoinField, "ShipperID");
    data.SetSubNodeText(f, wiz::LookupShowField, "CompanyName");
    return f;
  }
};

// Whole routines are the golden tests' business (tests/golden); these check
// the option combinations no fixture project there reaches.

TEST_F(FormDisplay, NavigationBarWithNothingInItIsAnEmptyRow) {
  navigation(true, false, false, false);
  std::string text = fsASPDisplayRecordNav(ctx);
  EXPECT_TRUE(contains(text, "RecordNavigation")) << text;
  EXPECT_FALSE(contains(text, "<TD")) << text;
}

TEST_F(FormDisplay, ActionButtonsFollowTheOptions) {
  struct Case {
    const char* type;
    bool add, update, remove, navigate;
    const char* expected;
  } cases[] = {
      {"ListForm", true, true, true, true, "CANCEL INSERT / LIST ADD {DELETE UPDATE}"},
      // Without navigation the form goes back with Cancel; with neither
      // Delete nor Update there is no guard.
      {"ListForm", true, false, false, false, "CANCEL INSERT / CANCEL"},
      {"ListForm", false, true, false, false, "CANCEL {UPDATE}"},
      {"ListForm", false, false, true, true, "LIST {DELETE}"},
      {"ListForm", false, false, false, false, "LIST"},
      // A form-only project adds without a way back; the guard stays, empty.
      {"Form", true, false, false, false, "CANCEL INSERT / ADD {}"},
      {"Form", false, true, true, false, "DELETE UPDATE"},
  };
  for (const Case& c : cases) {
    data.SetNodeText(wiz::ProjectType, c.type);
    options(c.add, c.update, c.remove);
    navigation(c.navigate, c.navigate, c.navigate, false);
    GenContext run{data, "/nowhere"};
    EXPECT_EQ(buttons(fsASPDisplayRecordAction(run)), c.expected)
        << c.type << " add " << c.add << " update " << c.update << " delete " << c.remove << " navigate " << c.navigate;
  }
  // The Delete button asks first.
  EXPECT_TRUE(contains(
      fsASPDisplayRecordAction(ctx),
      R"(VALUE="<%= sDELETE_BUTTON %>" LANGUAGE="JavaScript" OnClick="return confirm('Are you sure you want to delete this record?');")"));
}

TEST_F(FormDisplay, LookupsWithoutAControlOrAnAliasFallBack) {
  options(true, false, false);
  XmlNode blank = lookup("Receiver", "DatabaseTable", "RadioList", false, true);
  data.SetSubNodeText(blank, wiz::LookupShowFieldAlias, "   ");
  lookup("Odd", "SomethingElse", "SelectList");
  std::string text = fsASPDisplayForm(ctx);
  // A read-only lookup with a blank alias shows the show field itself.
  EXPECT_TRUE(contains(text, "NAME=\"Receiver\" VALUE=\"<%= gfsFieldValue(rs,\"CompanyName\") %>\" DISABLED")) << text;
  // An unknown lookup type writes no control, only the error line.
  EXPECT_TRUE(contains(text, "<TH>Odd label</TH>\r\n\t\t<TD>\t\t<%= gfsFieldError(\"Odd\") %>\r\n")) << text;
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(FormDisplay, NamesInsideStringLiteralsAreQuoteDoubled) {
  data.SetNodeText(wiz::PrimaryKey, "Key\"Col");
  field("Odd\"Name", "202", "Text (5)", "5");
  std::string text = fsASPDisplayForm(ctx);
  EXPECT_TRUE(contains(text, "\t\tmsPK = rs(\"Key\"\"Col\")\r\n")) << text;
  // The HTML attribute encodes the name; the script's literal doubles its quote.
  EXPECT_TRUE(contains(text, "NAME=\"Odd&quot;Name\" VALUE=\"<%= gfsFieldValue(rs,\"Odd\"\"Name\") %>\"")) << text;
}

}  // namespace
}  // namespace tvk::gen
