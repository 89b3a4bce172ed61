// Answering the wizard's pages without a person: the command line (`new`,
// `demo`, `schema --table`) walks the same pages, loaders, storers and
// validators as the browser window, filling each page from given answers
// before pressing Next. What an answer leaves out keeps the page's default.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tvk {

class FrmWizard;
class HeadlessView;

// A hand-made lookup list: value and shown text per row.
using LookupRows = std::vector<std::pair<std::string, std::string>>;

struct FieldAnswers {
  std::optional<std::string> label;
  std::optional<bool> readOnly;
  std::optional<bool> required;
  std::optional<bool> sorting;
  // A lookup from a table of the database (table, link column, shown column).
  std::optional<std::string> lookupTable;
  std::string lookupJoinField;
  std::string lookupShowField;
  // A hand-made list.
  std::optional<LookupRows> lookupList;
  // No lookup at all (turns off one the schema proposed).
  bool noLookup = false;
  // Offer the lookup as radio buttons instead of a select list.
  std::optional<bool> radioButtons;
};

struct ProjectAnswers {
  std::optional<std::string> type;   // List, Form, ListForm
  std::optional<std::string> style;  // Classic, Professional, XP
  std::optional<std::string> name;
  std::optional<std::string> directory;
  std::optional<std::string> connection;       // a typed connection string
  std::optional<std::string> globalAsaSource;  // or a data source of global.asa
  std::optional<std::string> table;
  // Check boxes and text boxes of the option pages, by element id.
  std::map<std::string, bool> listChecks;
  std::map<std::string, std::string> listTexts;
  std::map<std::string, bool> formChecks;
  // Shown fields in order; when not given, every field of the table.
  std::optional<std::vector<std::string>> listFields;
  std::optional<std::vector<std::string>> formFields;
  std::map<std::string, FieldAnswers> fields;
};

// Walks the wizard from its first page, answering every page on the way,
// until the confirmation page is shown (the answers are then complete), or,
// when `stopAfter` names a page, until Next has left that page. False when
// the wizard refused a page (its message has been shown through the
// session's UI) or could not go on; `refusedPage` then names the page.
bool answerPages(FrmWizard& wizard, const ProjectAnswers& answers, std::string* refusedPage,
                 const std::string& stopAfter = {});

}  // namespace tvk
