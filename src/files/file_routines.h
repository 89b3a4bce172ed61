// File questions in the wizard's two modes: inside a web project a file
// "exists" when it is an item of the project; stand-alone, when it is on disk.
#pragma once

#include <string>
#include <string_view>

namespace tvk {

// Results of gfFilePresent.
inline constexpr int kFileInProject = 1;          // project item, on disk
inline constexpr int kFileNotInProject = 2;       // not a project item
inline constexpr int kFileNoLocalCopy = 3;        // project item, missing on disk
inline constexpr int kFileOnDisk = -1;            // stand-alone: on disk
inline constexpr int kFileNotOnDisk = 0;          // stand-alone: not on disk

int gfFilePresent(const std::string& path);
// Failures pass on to the caller.
bool gfbDirectoryPresent(const std::string& path);
std::string gfsFindDirectory(const std::string& startDirectory, std::string_view name);
std::string gfsGlobalASAPath(const std::string& startDirectory);
// Copies one template into the target directory (never overwriting) and
// returns its report line.
std::string gsCreateFileReport(const std::string& sourcePath, const std::string& targetDirectory);

}  // namespace tvk
