#include "window/versions.h"

#include <boost/version.hpp>
#include <nlohmann/json.hpp>

namespace tvk {

std::string boostVersion() {
  return std::to_string(BOOST_VERSION / 100000) + "." + std::to_string(BOOST_VERSION / 100 % 1000);
}

std::string jsonVersion() {
  return std::to_string(NLOHMANN_JSON_VERSION_MAJOR) + "." + std::to_string(NLOHMANN_JSON_VERSION_MINOR) + "." +
         std::to_string(NLOHMANN_JSON_VERSION_PATCH);
}

}  // namespace tvk
