// A web project: a directory plus an XML manifest `<name>.wproj` in it that
// lists the project's items (files and folders, relative to the directory):
//   <WebProject Name="site"><Item Name="admin" Folder="true">
//     <Item Name="a.asp"/></Item></WebProject>
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tvk {

struct ProjectItem {
  std::string name;
  bool folder = false;
  ProjectItem* owner = nullptr;  // the folder (or project root) holding this item
  std::vector<std::unique_ptr<ProjectItem>> items;

  // The child of that name, without regard to case; null when none.
  ProjectItem* find(std::string_view childName) const;
};

class WebProject {
 public:
  // Reads the manifest. A missing or malformed manifest throws WizError
  // (err::kManifest) whose description names the file and the problem.
  static std::shared_ptr<WebProject> Load(const std::string& manifestPath);

  const std::string& name() const { return name_; }
  const std::string& manifestPath() const { return manifestPath_; }
  // The project's local directory: the folder that holds the manifest.
  const std::string& localDirectory() const { return localDirectory_; }

  // The project's top-level items are the children of the root.
  ProjectItem& root() { return root_; }
  const ProjectItem& root() const { return root_; }

  // Adds an existing file (full local path) to the folder's items and saves
  // the manifest atomically. A file already listed there is not added twice.
  void AddFromFile(ProjectItem& folder, const std::string& filePath);
  void Save() const;

 private:
  WebProject() = default;

  std::string name_;
  std::string manifestPath_;
  std::string localDirectory_;
  ProjectItem root_;
};

}  // namespace tvk
