// The data source page's database side: the tables and views it offers, the
// test that the chosen one can be read, and whether the generated pages may
// edit it.
#pragma once

#include <string>
#include <vector>

namespace tvk {

class XMLWizData;

// One entry of the page's table list: the value is the name as the catalogue
// gives it, the caption "T: name" for a table or "V: name" for a view.
struct TableListOption {
  std::string value;
  std::string caption;
};

// The tables and views of the chosen database in catalogue order (system
// tables and other kinds left out); stores the provider class in
// DatabaseConnection/DataProvider. Failures are reported; the entries found
// until then are returned, and `complete` (when given) is set false.
std::vector<TableListOption> HTMLTableList(XMLWizData& wizData, bool* complete = nullptr);

// Empty when "SELECT * FROM" the chosen table runs, else the failure's
// description. Shows nothing itself.
std::string fsTableOpenError(XMLWizData& wizData);

// True when the wizard may go on with the chosen table; sets
// DataSource/TableReadOnly. Shows its own messages.
bool fbValidDataSource(XMLWizData& wizData);

}  // namespace tvk
