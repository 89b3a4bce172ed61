// Opening the database the developer chose on the connection page: a typed
// connection string, or a data source of the web application's global.asa
// (its connection string, run-time user name and password). The connection
// is the session's pooled one (database/connection_pool.h): every routine
// of a session that opens the same database shares it, and none closes it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/error.h"
#include "database/connection_pool.h"
#include "database/data_access.h"

namespace tvk {

class XMLWizData;

// Where the chosen database is: the connection string, and the run-time
// user and password of a global.asa data source (the password is read only
// for a named user).
using ConnectionSettings = db::ConnectionSettings;

// The settings the document chooses, or none for any other DataSourceType.
std::optional<ConnectionSettings> chosenConnectionSettings(XMLWizData& wizData);

// A data connection for running statements, or none after showing the
// connection failure message. None without a message when the document's
// DataSourceType is neither kind. The handle is the caller's: closing it
// leaves the session's connection open for the others.
std::shared_ptr<db::Connection> fdbConOpenConnection(XMLWizData& wizData);

// The session's schema catalogue over the chosen database, or none (as
// above). It remembers what it has read until its refresh().
std::shared_ptr<db::Catalog> foOpenADOXConnection(XMLWizData& wizData);

// True when foOpenADOXConnection yields a catalogue.
bool fbValidDataConnection(XMLWizData& wizData);

// The text of the connection failure message for a failure.
std::string connectionFailureMessage(const ErrorInfo& error);

}  // namespace tvk
