#include "generator/tvk_file_creator.h"

#include "base/error.h"
#include "base/file_routines.h"
#include "base/fs.h"
#include "base/general.h"
#include "generator/form_page.h"
#include "generator/gen_context.h"
#include "generator/list_page.h"
#include "generator/output_files.h"
#include "generator/shared_routines.h"
#include "generator/tvk_text_stream.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kModule = "TVKFileCreator";

FileReport pageError(const std::string& path, const ErrorInfo& error) {
  return {path, FileReport::Outcome::Failed,
          "Error creating " + gfsFileName(path) + " - (" + std::to_string(error.number) + ") " + error.description +
              " : " + error.source};
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
  return files::join(directory, name);
}

// One page of the project, `suffix` after the project name. A project with
// no place for its pages gets the error line under the page's name.
FileReport createProjectPage(OutputFiles& output, const XMLWizData& wizData, std::string_view suffix,
                             const std::function<std::string()>& buildText) {
  std::string name = wizData.ProjectName() + std::string(suffix);
  std::string path;
  try {
    path = pagePath(wizData, suffix);
  } catch (...) {
    return pageError(name, currentErrorInfo());
  }
  return gfsCreatePageFile(output, path, buildText);
}

}  // namespace

TVKFileCreator::TVKFileCreator(OutputFiles& output)
    : TVKFileCreator(output, files::join(files::programDirectory(), "Templates")) {}

TVKFileCreator::TVKFileCreator(OutputFiles& output, std::string templatesDirectory)
    : output_(&output), templatesDirectory_(std::move(templatesDirectory)) {}

std::string TVKFileCreator::templatePath(std::string_view fileName) const {
  return files::join(templatesDirectory_, fileName);
}

FileReport gfsCreatePageFile(OutputFiles& output, const std::string& path,
                             const std::function<std::string()>& buildText) {
  try {
    TVKTextStream stream;
    stream.OpenOutputStream(path, output.writeOptions);
    stream.WriteWholeText(buildText());
    stream.CloseStream();
    output.pageWritten(path);
    return {path, FileReport::Outcome::Created, "File " + gfsFileName(path) + " successfully created at " + path};
  } catch (...) {
    return pageError(path, currentErrorInfo());
  }
}

FileReport TVKFileCreator::fsCreateListFile(const XMLWizData& wizData, const gen::GenContext& ctx) {
  return createProjectPage(*output_, wizData, "List.asp", [&] { return gen::fsListPageText(ctx); });
}

FileReport TVKFileCreator::fsCreateFormFile(const XMLWizData& wizData, const gen::GenContext& ctx) {
  return createProjectPage(*output_, wizData, "Form.asp", [&] { return gen::fsFormPageText(ctx); });
}

GenerationReport TVKFileCreator::GenerateFiles(const XMLWizData& wizData) {
  ErrorTrap trap{wizData.ui(), kModule, "GenerateFiles"};
  gen::GenContext ctx(wizData, templatesDirectory_);
  GenerationReport report;
  auto add = [&](FileReport entry) { report.entries.push_back(std::move(entry)); };

  std::string type;
  if (!trap([&] { type = wizData.ProjectType(); })) return {};

  bool dataActions = false;
  if (type == wiz::kTypeList || type == wiz::kTypeForm || type == wiz::kTypeListForm) {
    bool list = type == wiz::kTypeList;
    if (!trap([&] {
          dataActions =
              wizData.GetNodeText(list ? wiz::ListAllowAddRecord : wiz::FormAllowAddRecord) == wiz::kTrue ||
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
    if (!trap([&] { add({type, FileReport::Outcome::Failed, "Unknown Project Type : " + type}); })) return {};
  }

  std::string includeDirectory;
  if (!trap([&] { includeDirectory = wizData.GetNodeText(wiz::IncludeDirectory); })) return {};
  if (!trap([&] { add(output_->copyTemplate(templatePath("incTVKWDisplay.asp"), includeDirectory)); })) return {};
  if (dataActions && !trap([&] { add(output_->copyTemplate(templatePath("incTVKWAction.asp"), includeDirectory)); }))
    return {};

  std::string style;
  if (!trap([&] { style = wizData.ProjectStyle(); })) return {};
  if (style == wiz::kStyleClassic || style == wiz::kStyleProfessional || style == wiz::kStyleXP) {
    if (!trap([&] {
          add(output_->copyTemplate(templatePath(gen::fsStylesheetName(ctx)),
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
      if (!trap([&] { add(output_->copyTemplate(templatePath(prefix + std::string(graphic)), graphicsDirectory)); }))
        return {};
    }
  }
  report.failedRoutines = ctx.failures();
  return report;
}

}  // namespace tvk
