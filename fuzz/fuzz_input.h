// What the fuzz targets share: the readers under test take file paths, so
// each input is written to a file in a private temporary folder that lives
// as long as the fuzzing process.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tvk::fuzz {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tvk-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }

  // Writes the input as the file `name` in the folder and returns its path.
  std::string write(std::string_view name, const uint8_t* data, size_t size) const {
    std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) std::abort();
    return file.string();
  }

 private:
  std::filesystem::path path_;
};

// One folder per process, made on first use and removed at exit.
inline const ScratchFolder& scratch() {
  static const ScratchFolder folder;
  return folder;
}

}  // namespace tvk::fuzz
