// The versions of the libraries the window is built on, for the About box.
#pragma once

#include <string>

namespace tvk {

std::string boostVersion();  // "1.74"
std::string jsonVersion();   // "3.11.2"

}  // namespace tvk
