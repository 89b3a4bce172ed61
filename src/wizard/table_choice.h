// What choosing a table on the data source page does to the wizard data
// document, for the command line (schema, demo) until the page itself drives
// it: store the name, test that the table opens, rebuild the field data when
// the table changed, and validate the choice.
#pragma once

#include <string_view>

namespace tvk {

class XMLWizData;

// True when the wizard accepts the table; every refusal has shown its
// message.
bool gfbChooseTable(XMLWizData& wizData, std::string_view table);

}  // namespace tvk
