#include "base/vid_integration.h"

#include "base/error.h"
#include "base/general.h"
#include "base/session.h"
#include "base/web_project.h"

namespace tvk {

namespace {
constexpr std::string_view kModule = "VIDIntegration";

[[noreturn]] void objectNotSet(std::string_view what) {
  raise(err::kObjectNotSet, std::string(kModule), "Object variable not set (" + std::string(what) + ")");
}
}  // namespace

std::string gfsVirtualPath(const Session& session, std::string_view localPath) {
  ErrorTrap trap{session.ui(), kModule, "gfsVirtualPath"};
  std::string result;
  if (!trap([&] {
        std::string path = gfsNormalisePath(localPath);
        std::string root = gfsNormalisePath(session.gsLocalDirectory);
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

ProjectItem* gfoProjectItem(const Session& session, std::string_view virtualPath, ProjectItem& owner) {
  ErrorTrap trap{session.ui(), kModule, "gfoProjectItem"};
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
          found = gfoProjectItem(session, std::string_view(path).substr(slash + 1), *match);
      }))
    return nullptr;
  return found;
}

bool gfbFileInProject(const Session& session, WebProject* project, std::string_view localPath) {
  ErrorTrap trap{session.ui(), kModule, "gfbFileInProject"};
  bool inProject = false;
  if (!trap([&] {
        if (!project) objectNotSet("project");
        std::string virtualPath = gfsVirtualPath(session, localPath);
        inProject = gfoProjectItem(session, virtualPath, project->root()) != nullptr;
      }))
    return false;
  return inProject;
}

void AddFileToProject(const Session& session, WebProject* project, const std::string& filePath) {
  ErrorTrap trap{session.ui(), kModule, "AddFileToProject"};
  trap([&] {
    if (!project) objectNotSet("project");
    std::string virtualPath = gfsVirtualPath(session, gfsFilePath(filePath));
    ProjectItem* folder = &project->root();
    if (!virtualPath.empty()) {
      folder = gfoProjectItem(session, virtualPath, project->root());
      if (!folder) objectNotSet("no project folder " + virtualPath);
    }
    project->AddFromFile(*folder, filePath);
  });
}

std::shared_ptr<WebProject> gfoFindProject(const Session& session, std::string_view name) {
  ErrorTrap trap{session.ui(), kModule, "gfoFindProject"};
  std::shared_ptr<WebProject> found;
  if (!trap([&] {
        std::string wanted(name);
        if (!wanted.empty() && wanted.back() == '/') wanted.pop_back();
        wanted = gfsUpper(wanted);
        const auto& application = session.goApplication;
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
