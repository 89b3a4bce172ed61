// Web project integration: local paths map to project-relative paths, items
// are found by path (without regard to case), files are added to the project.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tvk {

class WebProject;
struct ProjectItem;

std::string gfsVirtualPath(std::string_view localPath);
// The item at the project-relative path below `owner` (the folder or project
// root whose items are searched); `owner` itself for the empty path.
ProjectItem* gfoProjectItem(std::string_view virtualPath, ProjectItem& owner);
bool gfbFileInProject(WebProject* project, std::string_view localPath);
void AddFileToProject(WebProject* project, const std::string& filePath);
// The loaded web project of that name (case-insensitive; one trailing "/" ignored).
std::shared_ptr<WebProject> gfoFindProject(std::string_view name);

}  // namespace tvk
