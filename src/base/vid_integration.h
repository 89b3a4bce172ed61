// Web project integration: local paths map to project-relative paths, items
// are found by path (without regard to case), files are added to the project.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tvk {

class Session;
class WebProject;
struct ProjectItem;

std::string gfsVirtualPath(const Session& session, std::string_view localPath);
// The item at the project-relative path below `owner` (the folder or project
// root whose items are searched); `owner` itself for the empty path.
ProjectItem* gfoProjectItem(const Session& session, std::string_view virtualPath, ProjectItem& owner);
bool gfbFileInProject(const Session& session, WebProject* project, std::string_view localPath);
void AddFileToProject(const Session& session, WebProject* project, const std::string& filePath);
// The loaded web project of that name (case-insensitive; one trailing "/" ignored).
std::shared_ptr<WebProject> gfoFindProject(const Session& session, std::string_view name);

}  // namespace tvk
