// The checks a project's values pass before anything is generated from them.
// The wizard's pages refuse the same values with their own messages (they
// call the value checks here); a project file written by hand or by another
// program is held to them by `projectProblem` before the first file is
// written, so that no value reaches a page, a path or a script unchecked.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tvk {

class XMLWizData;

// A non-empty name of the letters A to Z (either case), the digits and the
// underscore: a file-name stem that cannot leave its folder.
bool gfbValidNameText(std::string_view name);

// One of "List", "Form", "ListForm"; one of "Classic", "Professional",
// "XP", "Basic".
bool gfbKnownProjectType(std::string_view type);
bool gfbKnownProjectStyle(std::string_view style);

// A value that stops generation: the element's path, its text and why.
struct ProjectProblem {
  std::string element;
  std::string value;
  std::string reason;  // "is not a whole number", ...

  // `ListOptions/Paging/RecordsPerPage "10 : x" is not a whole number`
  std::string describe() const;
};

// The first value of the project that generation must not use: the project
// name, type and style; the page size and the most page-number links when
// paging uses them (whole numbers of at least 1, the second may be empty);
// every field's size (a whole number of at least 0, or empty); the page
// folder and the three companion folders (never empty).
std::optional<ProjectProblem> projectProblem(const XMLWizData& data);

// Makes the page folder and the companion folders absolute: a relative one
// is taken from `baseFolder` (the project file's folder), as the project
// file means it, not from wherever the program was started.
void resolveProjectFolders(XMLWizData& data, const std::string& baseFolder);

}  // namespace tvk
