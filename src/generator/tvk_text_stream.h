// The output file of one generated page: written in the single-byte code page
// (Windows-1252; a character it cannot hold becomes "?"), every WriteLine
// ending with CR LF. Opening replaces any existing file, read-only or not.
// Failures pass on to the caller as WizError.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tvk {

class TVKTextStream {
 public:
  TVKTextStream();
  ~TVKTextStream();
  TVKTextStream(const TVKTextStream&) = delete;
  TVKTextStream& operator=(const TVKTextStream&) = delete;

  void OpenOutputStream(const std::string& fileName);
  void WriteLine(std::string_view text);
  void WriteText(std::string_view text);
  void WriteBlankLines(std::int32_t count);
  void CloseStream();

  const std::string& fileName() const { return fileName_; }

 private:
  struct Impl;
  void write(std::string_view utf8);

  std::string fileName_;
  std::unique_ptr<Impl> impl_;
};

// UTF-8 to Windows-1252; characters outside the code page (and bytes that are
// not UTF-8) become "?".
std::string gfsToCodePage1252(std::string_view utf8);

}  // namespace tvk
