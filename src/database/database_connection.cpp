#include "database/database_connection.h"

#include "database/connection_string.h"
#include "database/global_asa.h"
#include "base/ui.h"
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

std::string catalogConnectionString(const ConnectionSettings& settings) {
  std::string connectionString = settings.connectionString;
  // Both spellings of the user key: providers know one or the other.
  // Values are braced when they hold a ";" that would end them early.
  if (!settings.user.empty())
    connectionString += ";User ID=" + db::connectionValue(settings.user) +
                        ";user=" + db::connectionValue(settings.user) +
                        ";password=" + db::connectionValue(settings.password);
  return connectionString;
}

std::string connectionFailureMessage(const ErrorInfo& error) {
  return "Unable to open connection to database\r\n\r\nError : " + error.source + " (" +
         std::to_string(error.number) + ") - " + error.description;
}

std::unique_ptr<db::Connection> fdbConOpenConnection(XMLWizData& wizData) {
  try {
    std::optional<ConnectionSettings> settings = chosenConnectionSettings(wizData);
    if (!settings) return nullptr;
    return db::openConnection(settings->connectionString, settings->user, settings->password, -1);
  } catch (...) {
    showConnectionFailure(wizData.ui());
    return nullptr;
  }
}

std::unique_ptr<db::Catalog> foOpenADOXConnection(XMLWizData& wizData) {
  try {
    std::optional<ConnectionSettings> settings = chosenConnectionSettings(wizData);
    if (!settings) return nullptr;
    return db::Catalog::open(catalogConnectionString(*settings));
  } catch (...) {
    showConnectionFailure(wizData.ui());
    return nullptr;
  }
}

bool fbValidDataConnection(XMLWizData& wizData) {
  std::unique_ptr<db::Catalog> catalog = foOpenADOXConnection(wizData);
  return catalog != nullptr;
}

}  // namespace tvk
