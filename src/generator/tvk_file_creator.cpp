#include "generator/tvk_file_creator.h"

#include "files/error.h"
#include "files/file_routines.h"
#include "files/fs.h"
#include "files/general.h"
#include "generator/form_page.h"
#include "generator/gen_context.h"
#include "generator/list_page.h"
#include "generator/shared_routines.h"
#include "generator/tvk_text_stream.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kModule = "TVKFileCreator";
constexpr std::string_view kLineEnd = "\r\n";

std::string pageErrorLine(const std::string& path, const ErrorInfo& error) {
  return "Error creating " + gfsFileName(path) + " - (" + std::to_string(error.number) + ") " +
         error.description + " : " + error.source;
}

// The page file of a project: its directory, the project name and the
// page's suffix. A project that names no directory has no place for its
// pages (the root directory is never meant).
std::string pagePath(const XMLWizData& wizData, std::string_view suffix) {
  std::string directory = wizData.GetNodeText(wiz::FileDirectory);
  std::string name = wizData.ProjectName() + std::string(suffix);
  if (directory.empty())
    raise(err::kPathNotFound, std::string(kModule),
          "The project names no directory for its pages (FileDirectory is empty)");
  return fs::join(directory, name);
}

// One page of the project, `suffix` after the project name. A project with
// no place for its pages gets the error line under the page's name.
std::string createProjectPage(const XMLWizData& wizData, std::string_view suffix,
                              const std::function<std::string()>& buildText) {
  std::string name = wizData.ProjectName() + std::string(suffix);
  std::string path;
  try {
    path = pagePath(wizData, suffix);
  } catch (...) {
    return pageErrorLine(name, currentErrorInfo());
  }
  return gfsCreatePageFile(path, buildText);
}

}  // namespace

TVKFileCreator::TVKFileCreator() : TVKFileCreator(fs::join(fs::programDirectory(), "Templates")) {}

TVKFileCreator::TVKFileCreator(std::string templatesDirectory)
    : templatesDirectory_(std::move(templatesDirectory)) {}

std::string TVKFileCreator::templatePath(std::string_view fileName) const {
  return fs::join(templatesDirectory_, fileName);
}

std::string gfsCreatePageFile(const std::string& path, const std::function<std::string()>& buildText) {
  try {
    TVKTextStream stream;
    stream.OpenOutputStream(path);
    stream.WriteText(buildText());
    stream.CloseStream();
    return "File " + gfsFileName(path) + " successfully created at " + path;
  } catch (...) {
    return pageErrorLine(path, currentErrorInfo());
  }
}

bool gfbReportLineSucceeded(std::string_view line) {
  // Success lines name the file first ("File x successfully created ...",
  // "File x already present ..."); failures begin "Error creating" and the
  // unknown project type line begins "Unknown Project Type".
  return line.substr(0, 5) == "File ";
}

std::string TVKFileCreator::fsCreateListFile(const XMLWizData& wizData, const gen::GenContext& ctx) {
  return createProjectPage(wizData, "List.asp", [&] { return gen::fsListPageText(ctx); });
}

std::string TVKFileCreator::fsCreateFormFile(const XMLWizData& wizData, const gen::GenContext& ctx) {
  return createProjectPage(wizData, "Form.asp", [&] { return gen::fsFormPageText(ctx); });
}

std::string TVKFileCreator::GenerateFiles(const XMLWizData& wizData) {
  ErrorTrap trap{kModule, "GenerateFiles"};
  gen::GenContext ctx(wizData, templatesDirectory_);
  std::string report;
  auto add = [&](const std::string& line) {
    report += line;
    report += kLineEnd;
  };

  std::string type;
  if (!trap([&] { type = wizData.ProjectType(); })) return {};

  bool dataActions = false;
  if (type == wiz::kTypeList || type == wiz::kTypeForm || type == wiz::kTypeListForm) {
    bool list = type == wiz::kTypeList;
    if (!trap([&] {
          dataActions = wizData.GetNodeText(list ? wiz::ListAllowAddRecord : wiz::FormAllowAddRecord) == wiz::kTrue ||
                        wizData.GetNodeText(list ? wiz::ListAllowUpdateRecord : wiz::FormAllowUpdateRecord) == wiz::kTrue ||
                        wizData.GetNodeText(list ? wiz::ListAllowDeleteRecord : wiz::FormAllowDeleteRecord) == wiz::kTrue;
        }))
      return {};
  }

  if (type == wiz::kTypeList) {
    if (!trap([&] { add(fsCreateListFile(wizData, ctx)); })) return {};
  } else if (type == wiz::kTypeForm) {
    if (!trap([&] { add(fsCreateFormFile(wizData, ctx)); })) return {};
  } else if (type == wiz::kTypeListForm) {
    if (!trap([&] { add(fsCreateListFile(wizData, ctx)); })) return {};
    if (!trap([&] { add(fsCreateFormFile(wizData, ctx)); })) return {};
  } else {
    if (!trap([&] { add("Unknown Project Type : " + type); })) return {};
  }

  std::string includeDirectory;
  if (!trap([&] { includeDirectory = wizData.GetNodeText(wiz::IncludeDirectory); })) return {};
  if (!trap([&] { add(gsCreateFileReport(templatePath("incTVKWDisplay.asp"), includeDirectory)); })) return {};
  if (dataActions &&
      !trap([&] { add(gsCreateFileReport(templatePath("incTVKWAction.asp"), includeDirectory)); }))
    return {};

  std::string style;
  if (!trap([&] { style = wizData.ProjectStyle(); })) return {};
  if (style == wiz::kStyleClassic || style == wiz::kStyleProfessional || style == wiz::kStyleXP) {
    if (!trap([&] {
          add(gsCreateFileReport(templatePath(gen::fsStylesheetName(ctx)),
                                 wizData.GetNodeText(wiz::StylesheetDirectory)));
        }))
      return {};
  }

  if (!trap([&] { style = wizData.ProjectStyle(); })) return {};
  if (style == wiz::kStyleProfessional || style == wiz::kStyleXP) {
    std::string prefix = style == wiz::kStyleProfessional ? "TVKW_Pro_" : "TVKW_XP_";
    std::string graphicsDirectory;
    if (!trap([&] { graphicsDirectory = wizData.GetNodeText(wiz::GraphicsDirectory); })) return {};
    for (std::string_view graphic : {"SortAsc.gif", "SortDesc.gif", "EditRecord.gif"}) {
      if (!trap([&] { add(gsCreateFileReport(templatePath(prefix + std::string(graphic)), graphicsDirectory)); }))
        return {};
    }
  }
  return report;
}

}  // namespace tvk
