// Opening the database the developer chose on the connection page: a typed
// connection string, or a data source of the web application's global.asa
// (its connection string, run-time user name and password).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "database/data_access.h"
#include "base/error.h"

namespace tvk {

class XMLWizData;

// Where the chosen database is: the connection string, and the run-time
// user and password of a global.asa data source (the password is read only
// for a named user).
struct ConnectionSettings {
  std::string connectionString;
  std::string user;
  std::string password;
};

// The settings the document chooses, or none for any other DataSourceType.
std::optional<ConnectionSettings> chosenConnectionSettings(XMLWizData& wizData);

// The string a schema catalogue opens: a named user and password are added
// under both spellings of the user key.
std::string catalogConnectionString(const ConnectionSettings& settings);

// A data connection for running statements, or none after showing the
// connection failure message. None without a message when the document's
// DataSourceType is neither kind.
std::unique_ptr<db::Connection> fdbConOpenConnection(XMLWizData& wizData);

// A schema catalogue over the chosen database, or none (as above).
std::unique_ptr<db::Catalog> foOpenADOXConnection(XMLWizData& wizData);

// True when foOpenADOXConnection yields a catalogue.
bool fbValidDataConnection(XMLWizData& wizData);

// The text of the connection failure message for a failure.
std::string connectionFailureMessage(const ErrorInfo& error);

}  // namespace tvk
