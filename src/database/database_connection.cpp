#include "database/database_connection.h"

#include "base/session.h"
#include "base/ui.h"
#include "database/global_asa.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

void showConnectionFailure(Ui& ui) {
  gMsgBox(ui, connectionFailureMessage(currentErrorInfo()), MsgButtons::OK, MsgIcon::Critical);
}

}  // namespace

std::optional<ConnectionSettings> chosenConnectionSettings(XMLWizData& wizData) {
  std::string type = wizData.GetNodeText(wiz::DataSourceType);
  if (type == wiz::kSourceConnectionString)
    return ConnectionSettings{wizData.GetNodeText(wiz::ConnectionStringText), {}, {}};
  if (type == wiz::kSourceGlobalASA) {
    std::string path = wizData.GetNodeText(wiz::GlobalASAPath);
    std::string name = wizData.GetNodeText(wiz::GlobalASADataSourceName);
    ConnectionSettings settings;
    settings.connectionString = gfsGlobalASAValue(path, name + "_ConnectionString");
    settings.user = gfsGlobalASAValue(path, name + "_RuntimeUserName");
    if (!settings.user.empty()) settings.password = gfsGlobalASAValue(path, name + "_RuntimePassword");
    return settings;
  }
  return std::nullopt;
}

std::string connectionFailureMessage(const ErrorInfo& error) {
  return "Unable to open connection to database\r\n\r\nError : " + error.source + " (" + std::to_string(error.number) +
         ") - " + error.description;
}

std::shared_ptr<db::Connection> fdbConOpenConnection(XMLWizData& wizData) {
  try {
    std::optional<ConnectionSettings> settings = chosenConnectionSettings(wizData);
    if (!settings) return nullptr;
    return wizData.session().resource<db::ConnectionPool>().connection(*settings);
  } catch (...) {
    showConnectionFailure(wizData.ui());
    return nullptr;
  }
}

std::shared_ptr<db::Catalog> foOpenADOXConnection(XMLWizData& wizData) {
  try {
    std::optional<ConnectionSettings> settings = chosenConnectionSettings(wizData);
    if (!settings) return nullptr;
    return wizData.session().resource<db::ConnectionPool>().catalog(*settings);
  } catch (...) {
    showConnectionFailure(wizData.ui());
    return nullptr;
  }
}

bool fbValidDataConnection(XMLWizData& wizData) { return foOpenADOXConnection(wizData) != nullptr; }

}  // namespace tvk
