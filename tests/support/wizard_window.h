// What the tests of the wizard's pages share: the real page files in a
// headless window, settings that live only as long as the test, and a UI
// that answers like the console one while noting each message's icon and
// each file dialog's arguments.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/session.h"
#include "base/settings.h"
#include "base/ui.h"
#include "support/temp_dir.h"
#include "wizard/frm_wizard.h"
#include "wizard/headless_view.h"
#include "wizard/html_routines.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::test {

// Messages, button answers and list edits go to a ConsoleUi (see shown());
// the file dialogs are answered from `paths`, front first (none left:
// cancel), each noted as "kind title|directory|name|filter|pattern|...".
class RecordingUi final : public Ui {
 public:
  std::vector<MsgIcon> icons;
  std::vector<std::string> dialogs;
  std::vector<std::string> paths;

  const std::vector<std::string>& shown() const { return console.shown(); }
  void pushAnswer(MsgResult button) { console.pushAnswer(button); }
  void pushRows(std::vector<ListEditorRow> rows) { console.pushRows(std::move(rows)); }

  MsgResult messageBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title) override {
    icons.push_back(icon);
    return console.messageBox(text, buttons, icon, title);
  }
  std::string openFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                             std::string_view directory) override {
    return answer("Open " + std::string(title), filters, directory, "");
  }
  std::string saveFileDialog(std::string_view title, const std::vector<FileFilter>& filters, std::string_view directory,
                             std::string_view name) override {
    return answer("Save " + std::string(title), filters, directory, name);
  }
  std::string browseFolder(std::string_view title, std::string_view start) override {
    return answer("Browse " + std::string(title), {}, start, "");
  }
  bool editList(std::string_view title, std::vector<ListEditorRow>& rows) override {
    return console.editList(title, rows);
  }

 private:
  std::string answer(std::string note, const std::vector<FileFilter>& filters, std::string_view directory,
                     std::string_view name) {
    note += "|" + std::string(directory) + "|" + std::string(name) + "|";
    for (const FileFilter& filter : filters) note += filter.description + "|" + filter.pattern + "|";
    dialogs.push_back(note);
    if (paths.empty()) return {};
    std::string path = paths.front();
    paths.erase(paths.begin());
    return path;
  }

  std::ostringstream sink_;
  ConsoleUi console{sink_};
};

// The wizard's window over the page files in the source tree.
class WizardWindowTest : public ::testing::Test {
 protected:
  std::shared_ptr<RecordingUi> ui = std::make_shared<RecordingUi>();
  Session session{ui};
  HeadlessView view;
  ScopedTempDir dir;
  MemorySettings settings;
  FrmWizard wizard{session, view, settings, std::string(TVK_SOURCE_DIR) + "/data"};

  XMLWizData& data() { return wizard.wizData(); }
  // Shows a page file; the window loads its controls once it has loaded.
  void show(std::string_view page) { view.navigate(wizard.htmlDirectory() + std::string(page) + ".htm"); }
  ElementRef element(std::string_view id) {
    ElementRef found = view.document().elementById(id);
    EXPECT_TRUE(found) << id;
    return found;
  }
  void click(std::string_view id) { view.document().click(element(id)); }
  std::vector<std::string> options(std::string_view id) {
    std::vector<std::string> values;
    for (const SelectOption& option : view.document().options(element(id))) values.push_back(option.value);
    return values;
  }
  // A Field record named `name` at the end of the document's Fields.
  XmlNode addField(std::string_view name) {
    XmlNode fields = data().GetNode(wiz::Fields);
    if (!fields) fields = data().foCreateNode(data().root(), wiz::Fields);
    XmlNode field = data().AddSubNode(fields, wiz::Field);
    data().AddSubNode(field, wiz::FieldName, name);
    return field;
  }
  std::string fieldText(std::string_view name, std::string_view path) {
    XmlNode field = fieldByName(data(), name);
    EXPECT_TRUE(field) << name;
    return field ? data().GetSubNodeText(field, path) : std::string();
  }
};

}  // namespace tvk::test
