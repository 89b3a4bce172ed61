#include "host/about.h"

#include "base/fs.h"
#include "base/xml.h"
#include "database/sqlite_connection.h"
#include "window/versions.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kHelp =
    "TVK Wizard writes classic Active Server Pages for one database table: a list page "
    "(paging, sorting, inline editing) and/or a form page (record navigation, insert, update "
    "and delete with validation, lookups as select lists or radio buttons), with their include "
    "files, stylesheet and graphics.\n\n"
    "Answer each page and press Next; Finish writes the files. Save the project file on the last "
    "page to reopen the project later, or regenerate it with \"tvkwizard generate\".";

}  // namespace

AboutInfo aboutInfo(const std::string& dataDirectory, const std::string& settingsFile) {
  AboutInfo info;
  info.version = "Version " + wizardVersion() + "." + std::to_string(TVK_VERSION_PATCH);
  info.help = std::string(kHelp);
  info.info = {
      {"Program", files::join(files::programDirectory(), "tvkwizard")},
      {"Data directory", dataDirectory},
      {"Settings file", settingsFile},
      {"libxml2", libxmlVersion()},
      {"libxslt", libxsltVersion()},
      {"SQLite", db::sqliteVersion()},
      {"Boost (Beast, Asio)", boostVersion()},
      {"nlohmann/json", jsonVersion()},
  };
  return info;
}

}  // namespace tvk
