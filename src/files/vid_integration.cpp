#include "files/vid_integration.h"

#include "files/error.h"
#include "files/general.h"
#include "files/web_project.h"
#include "host/wizard_context.h"

namespace tvk {

namespace {
constexpr std::string_view kModule = "VIDIntegration";

[[noreturn]] void objectNotSet(std::string_view what) {
  raise(err::kObjectNotSet, std::string(kModule), "Object variable not set (" + std::string(what) + ")");
}
}  // namespace

std::string gfsVirtualPath(std::string_view localPath) {
  ErrorTrap trap{kModule, "gfsVirtualPath"};
  std::string result;
  if (!trap([&] {
        std::string path = gfsNormalisePath(localPath);
        std::string root = gfsNormalisePath(wizardContext().gsLocalDirectory);
        if (path == root) {
          result.clear();
          return;
        }
        // The root must be followed by a separator: /web/sitex is not inside
        // /web/site.
        if (!root.empty() && gfbStartsWithNoCase(path, root) &&
            (path.size() == root.size() || path[root.size()] == kPathSeparator))
          result = path.size() > root.size() ? path.substr(root.size() + 1) : std::string();
        else
          result = path;
        if (!result.empty() && result.back() == kPathSeparator) result.pop_back();
      }))
    return {};
  return result;
}

ProjectItem* gfoProjectItem(std::string_view virtualPath, ProjectItem& owner) {
  ErrorTrap trap{kModule, "gfoProjectItem"};
  ProjectItem* found = nullptr;
  if (!trap([&] {
        if (virtualPath.empty()) {
          found = &owner;
          return;
        }
        std::string path = gfsNormalisePath(virtualPath);
        size_t slash = path.find(kPathSeparator);
        std::string first = path.substr(0, slash);
        ProjectItem* match = owner.find(first);
        if (!match) return;
        if (slash == std::string::npos)
          found = match;
        else
          found = gfoProjectItem(std::string_view(path).substr(slash + 1), *match);
      }))
    return nullptr;
  return found;
}

bool gfbFileInProject(WebProject* project, std::string_view localPath) {
  ErrorTrap trap{kModule, "gfbFileInProject"};
  bool inProject = false;
  if (!trap([&] {
        if (!project) objectNotSet("project");
        std::string virtualPath = gfsVirtualPath(localPath);
        inProject = gfoProjectItem(virtualPath, project->root()) != nullptr;
      }))
    return false;
  return inProject;
}

void AddFileToProject(WebProject* project, const std::string& filePath) {
  ErrorTrap trap{kModule, "AddFileToProject"};
  trap([&] {
    if (!project) objectNotSet("project");
    std::string virtualPath = gfsVirtualPath(gfsFilePath(filePath));
    ProjectItem* folder = &project->root();
    if (!virtualPath.empty()) {
      folder = gfoProjectItem(virtualPath, project->root());
      if (!folder) objectNotSet("no project folder " + virtualPath);
    }
    project->AddFromFile(*folder, filePath);
  });
}

std::shared_ptr<WebProject> gfoFindProject(std::string_view name) {
  ErrorTrap trap{kModule, "gfoFindProject"};
  std::shared_ptr<WebProject> found;
  if (!trap([&] {
        std::string wanted(name);
        if (!wanted.empty() && wanted.back() == '/') wanted.pop_back();
        wanted = gfsUpper(wanted);
        const auto& application = wizardContext().goApplication;
        if (!application) objectNotSet("application");
        for (const auto& project : application->projects) {
          if (project && gfsUpper(project->name()) == wanted) {
            found = project;
            return;
          }
        }
      }))
    return nullptr;
  return found;
}

}  // namespace tvk
