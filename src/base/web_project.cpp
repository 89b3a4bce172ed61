#include "base/web_project.h"

#include <libxml/tree.h>

#include "base/error.h"
#include "base/fs.h"
#include "base/general.h"
#include "base/xml.h"

namespace tvk {

namespace {

constexpr std::string_view kSource = "WebProject";

[[noreturn]] void manifestError(const std::string& path, std::string_view problem) {
  raise(err::kManifest, std::string(kSource), "Web project manifest '" + path + "': " + std::string(problem));
}

void readItems(const XmlNode& element, ProjectItem& owner, const std::string& path) {
  for (const XmlNode& child : element.children()) {
    if (child.name() != "Item")
      manifestError(
          path, "unexpected element <" + child.name() + "> (line " + std::to_string(xmlGetLineNo(child.get())) + ")");
    std::string name = child.attribute("Name");
    if (name.empty() || name.find_first_of("/\\") != std::string::npos || name == "." || name == "..")
      manifestError(
          path, "an Item needs a plain file or folder name (line " + std::to_string(xmlGetLineNo(child.get())) + ")");
    auto item = std::make_unique<ProjectItem>();
    item->name = name;
    item->folder = gfbEqualNoCase(child.attribute("Folder"), "true");
    item->owner = &owner;
    if (!item->folder && !child.children().empty())
      manifestError(path, "the file item '" + name + "' has items of its own");
    readItems(child, *item, path);
    owner.items.push_back(std::move(item));
  }
}

void writeItems(const ProjectItem& owner, const XmlNode& element) {
  for (const auto& item : owner.items) {
    XmlNode node = element.appendElement("Item");
    node.setAttribute("Name", item->name);
    if (item->folder) {
      node.setAttribute("Folder", "true");
      writeItems(*item, node);
    }
  }
}

}  // namespace

ProjectItem* ProjectItem::find(std::string_view childName) const {
  for (const auto& item : items)
    if (gfbEqualNoCase(item->name, childName)) return item.get();
  return nullptr;
}

std::shared_ptr<WebProject> WebProject::Load(const std::string& manifestPath) {
  std::string error;
  XmlDocPtr doc = parseXmlFile(manifestPath, &error);
  if (!doc) manifestError(manifestPath, error);
  XmlNode root = rootElement(doc.get());
  if (root.name() != "WebProject")
    manifestError(manifestPath, "the root element is <" + root.name() + ">, not <WebProject>");
  std::shared_ptr<WebProject> project(new WebProject());
  project->manifestPath_ = manifestPath;
  project->localDirectory_ = files::parentFolder(manifestPath);
  if (project->localDirectory_.empty()) project->localDirectory_ = ".";
  project->name_ = root.attribute("Name");
  if (project->name_.empty()) manifestError(manifestPath, "the WebProject element has no Name");
  project->root_.name = project->name_;
  project->root_.folder = true;
  readItems(root, project->root_, manifestPath);
  return project;
}

void WebProject::AddFromFile(ProjectItem& folder, const std::string& filePath) {
  if (!folder.folder)
    raise(err::kInvalidCall, std::string(kSource), "'" + folder.name + "' is not a folder of the project");
  if (!files::fileExists(filePath))
    raise(err::kFileNotFound, std::string(kSource), "File not found: '" + filePath + "'");
  std::string name = gfsFileName(filePath);
  if (folder.find(name)) return;
  auto item = std::make_unique<ProjectItem>();
  item->name = name;
  item->owner = &folder;
  folder.items.push_back(std::move(item));
  try {
    Save();
  } catch (...) {
    folder.items.pop_back();  // the manifest on disk still lacks it
    throw;
  }
}

void WebProject::Save() const {
  XmlDocPtr doc = newXmlDocument();
  XmlNode root = setRootElement(doc.get(), "WebProject");
  root.setAttribute("Name", name_);
  writeItems(root_, root);
  saveXmlAtomic(doc.get(), manifestPath_);
}

}  // namespace tvk
