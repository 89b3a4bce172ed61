#include "wizard/table_choice.h"

#include <string>

#include "database/field_data.h"
#include "wizard/table_list.h"
#include "base/ui.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

bool gfbChooseTable(XMLWizData& wizData, std::string_view table) {
  bool changed = wizData.GetNodeText(wiz::TableName) != table;
  if (changed) wizData.SetNodeText(wiz::TableName, table);
  std::string error = fsTableOpenError(wizData);
  if (!error.empty()) {
    gMsgBox(wizData.ui(), error, MsgButtons::OK, MsgIcon::Exclamation);
    return false;
  }
  if (changed) {
    wizData.SetNodeText(wiz::FinishEnabled, wiz::kFalse);
    ResetTableData(wizData);
  }
  return fbValidDataSource(wizData);
}

}  // namespace tvk
