// What the tests of the routines that read a wizard data document share:
// a wizard run whose error reports go to a scripted console UI, an empty
// document, Field records added to it, and expected routine text written
// line by line.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "base/session.h"
#include "base/ui.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk::test {

// A test on one wizard data document, inside a wizard run: the reports a
// routine shows are left in ui->shown().
class WizardDocumentTest : public ::testing::Test {
 protected:
  std::shared_ptr<ConsoleUi> ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  XMLWizData data{session};
};

// A new, empty Field record at the end of the document's Fields (which is
// made when the document has none yet).
inline XmlNode addFieldRecord(XMLWizData& data) {
  XmlNode fields = data.GetNode(wiz::Fields);
  if (!fields) fields = data.foCreateNode(data.root(), wiz::Fields);
  return data.AddSubNode(fields, wiz::Field);
}

// Expected routine text: each line followed by CR LF. Tabs are written as
// \t so that every leading tab and trailing blank shows.
inline std::string lines(std::initializer_list<std::string_view> list) {
  std::string text;
  for (std::string_view line : list) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace tvk::test
