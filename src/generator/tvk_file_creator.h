// The code generator: from the wizard data document of a finished wizard it
// writes the project's pages and copies the include files, stylesheet and
// graphics of the chosen style into the web project, and reports one line
// per file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "generator/output_files.h"

namespace tvk {

class XMLWizData;
namespace gen {
class GenContext;
}

class TVKFileCreator {
 public:
  // Writes through `output`, which must outlive the creator; templates come
  // from the "Templates" directory beside the program.
  explicit TVKFileCreator(OutputFiles& output);
  // Templates from another directory (tests use their own).
  TVKFileCreator(OutputFiles& output, std::string templatesDirectory);

  // Writes every file of the project and returns one report entry per file.
  // Reads the document, never changes it.
  GenerationReport GenerateFiles(const XMLWizData& wizData);

  const std::string& templatesDirectory() const { return templatesDirectory_; }

 private:
  // The page writers of one run share its context, so that the field lists
  // are read once.
  FileReport fsCreateListFile(const XMLWizData& wizData, const gen::GenContext& ctx);
  FileReport fsCreateFormFile(const XMLWizData& wizData, const gen::GenContext& ctx);
  std::string templatePath(std::string_view fileName) const;

  OutputFiles* output_;
  std::string templatesDirectory_;
};

// Writes one generated page through a text stream (opened before the text
// is built, closed after it is written), tells `output`, and returns its
// report entry: "File <name> successfully created at <path>", or "Error
// creating <name> - (<number>) <description> : <source>" when the page
// cannot be written.
FileReport gfsCreatePageFile(OutputFiles& output, const std::string& path,
                             const std::function<std::string()>& buildText);

}  // namespace tvk
