// The output file of one generated page: written in the single-byte code page
// (Windows-1252; a character it cannot hold becomes "?"), every WriteLine
// ending with CR LF. The text is kept until CloseStream, which replaces any
// existing file (read-only or not) atomically: a failed or interrupted run
// leaves the former page whole, never a part of the new one. Failures pass
// on to the caller as WizError.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/fs.h"

namespace tvk {

class TVKTextStream {
 public:
  TVKTextStream();
  ~TVKTextStream();
  TVKTextStream(const TVKTextStream&) = delete;
  TVKTextStream& operator=(const TVKTextStream&) = delete;

  // Fails at once when the page's folder is missing; the file itself is
  // written by CloseStream, through `options`.
  void OpenOutputStream(const std::string& fileName, files::AtomicWriteOptions options = {});
  void WriteLine(std::string_view text);
  void WriteText(std::string_view text);
  // WriteText for a whole page: its text is taken over, not copied, when it
  // needs no converting.
  void WriteWholeText(std::string&& text);
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
