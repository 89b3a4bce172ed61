#include "wizdata/project_values.h"

#include <array>

#include "base/fs.h"
#include "base/general.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::array<std::string_view, 4> kFolders = {wiz::FileDirectory, wiz::StylesheetDirectory,
                                                      wiz::GraphicsDirectory, wiz::IncludeDirectory};

// The reason a count is refused, or nothing: a whole number (as the pages'
// number check reads it) of at least `lower`.
std::optional<std::string> countProblem(std::string_view text, long lower) {
  if (!gfbValidInteger(text)) return "is not a whole number";
  if (!gfbValidInteger(text, lower)) return "is less than " + std::to_string(lower);
  return std::nullopt;
}

}  // namespace

bool gfbValidNameText(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!allowed) return false;
  }
  return true;
}

bool gfbKnownProjectType(std::string_view type) {
  return type == wiz::kTypeList || type == wiz::kTypeForm || type == wiz::kTypeListForm;
}

bool gfbKnownProjectStyle(std::string_view style) {
  return style == wiz::kStyleClassic || style == wiz::kStyleProfessional || style == wiz::kStyleXP ||
         style == wiz::kStyleBasic;
}

std::string ProjectProblem::describe() const { return element + " \"" + value + "\" " + reason; }

std::optional<ProjectProblem> projectProblem(const XMLWizData& data) {
  auto problem = [](std::string_view element, std::string value, std::string reason) {
    return ProjectProblem{std::string(element), std::move(value), std::move(reason)};
  };
  std::string name = data.GetNodeText(wiz::ProjectName);
  if (!gfbValidNameText(name))
    return problem(wiz::ProjectName, name, "is not a name of letters, digits and underscores");
  std::string type = data.GetNodeText(wiz::ProjectType);
  if (!gfbKnownProjectType(type)) return problem(wiz::ProjectType, type, "is not a project type");
  std::string style = data.GetNodeText(wiz::ProjectStyle);
  if (!gfbKnownProjectStyle(style)) return problem(wiz::ProjectStyle, style, "is not a project style");

  for (std::string_view folder : kFolders) {
    std::string path = data.GetNodeText(folder);
    if (path.empty()) return problem(folder, path, "is empty; the project names no folder for its files");
  }

  // The page size and the page-number links are written into the list page
  // only when paging (and the links) are on, as the list options page
  // checks them.
  if (type != wiz::kTypeForm && data.GetNodeText(wiz::AllowPaging) == wiz::kTrue) {
    std::string size = data.GetNodeText(wiz::RecordsPerPage);
    if (auto reason = countProblem(size, 1)) return problem(wiz::RecordsPerPage, size, *reason);
    std::string most = data.GetNodeText(wiz::MaxDirectPages);
    if (data.GetNodeText(wiz::PageNumberAllowPaging) == wiz::kTrue && !most.empty())
      if (auto reason = countProblem(most, 1)) return problem(wiz::MaxDirectPages, most, *reason);
  }

  int position = 0;
  for (const XmlNode& field : data.GetFields()) {
    ++position;
    XmlNode sizeNode = field.child(wiz::FieldSize);
    std::string size = sizeNode ? sizeNode.text() : std::string();
    if (size.empty()) continue;
    if (auto reason = countProblem(size, 0))
      return problem(
          std::string(wiz::FieldsField) + "[" + std::to_string(position) + "]/" + std::string(wiz::FieldSize), size,
          *reason);
  }
  return std::nullopt;
}

void resolveProjectFolders(XMLWizData& data, const std::string& baseFolder) {
  for (std::string_view folder : kFolders) {
    std::string path = data.GetNodeText(folder);
    if (path.empty() || path.front() == '/') continue;
    data.SetNodeText(folder, files::join(baseFolder, path));
  }
}

}  // namespace tvk
