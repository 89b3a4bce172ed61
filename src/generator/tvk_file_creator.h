// The code generator: from the wizard data document of a finished wizard it
// writes the project's pages and copies the include files, stylesheet and
// graphics of the chosen style into the web project, and reports one line
// per file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tvk {

class XMLWizData;
namespace gen {
class GenContext;
}

class TVKFileCreator {
 public:
  // Templates from the "Templates" directory beside the program.
  TVKFileCreator();
  // Templates from another directory (tests use their own).
  explicit TVKFileCreator(std::string templatesDirectory);

  // Writes every file of the project and returns the report: one line per
  // file, each ended by CR LF. Reads the document, never changes it.
  std::string GenerateFiles(const XMLWizData& wizData);

  const std::string& templatesDirectory() const { return templatesDirectory_; }

 private:
  // The page writers of one run share its context, so that the field lists
  // are read once.
  std::string fsCreateListFile(const XMLWizData& wizData, const gen::GenContext& ctx);
  std::string fsCreateFormFile(const XMLWizData& wizData, const gen::GenContext& ctx);
  std::string templatePath(std::string_view fileName) const;

  std::string templatesDirectory_;
};

// Writes one generated page through a text stream (opened before the text
// is built, closed after it is written) and returns its report line:
// "File <name> successfully created at <path>", or "Error creating <name> -
// (<number>) <description> : <source>" when the page cannot be written.
std::string gfsCreatePageFile(const std::string& path, const std::function<std::string()>& buildText);

// True for a report line that names a file created or already present.
bool gfbReportLineSucceeded(std::string_view line);

}  // namespace tvk
