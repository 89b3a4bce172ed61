// What the About box tells: the version, a short help text, and where the
// program, its data and its settings are, with the libraries' versions.
#pragma once

#include <string>

#include "window/browser_view.h"  // AboutInfo

namespace tvk {

AboutInfo aboutInfo(const std::string& dataDirectory, const std::string& settingsFile);

}  // namespace tvk
