#include "generator/tvk_text_stream.h"

#include <iconv.h>

#include <cerrno>

#include "base/error.h"
#include "base/fs.h"

namespace tvk {

namespace {

constexpr std::string_view kCRLF = "\r\n";

// One iconv conversion descriptor, closed on destruction.
class Iconv {
 public:
  Iconv() : cd_(iconv_open("WINDOWS-1252", "UTF-8")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      raise(err::kInternal, "TVKTextStream", "The Windows-1252 code page is not available");
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  void convert(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (rc != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ: a character the code page cannot hold, or bytes that are not
      // UTF-8; EINVAL: a character cut off at the end. Either way one "?"
      // stands for the whole character.
      out += '?';
      size_t skip = utf8Length(static_cast<unsigned char>(*src));
      if (skip > srcLeft) skip = srcLeft;
      src += skip;
      srcLeft -= skip;
    }
  }

 private:
  static size_t utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC2 && lead < 0xE0) return 2;
    return 1;
  }

  iconv_t cd_;
};

bool isAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

struct TVKTextStream::Impl {
  files::AtomicWriteOptions options;
  Iconv iconv;
  std::string buffer;  // the whole page, written on closing
};

std::string gfsToCodePage1252(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  Iconv converter;
  std::string out;
  out.reserve(utf8.size());
  converter.convert(utf8, out);
  return out;
}

TVKTextStream::TVKTextStream() = default;

TVKTextStream::~TVKTextStream() = default;

void TVKTextStream::OpenOutputStream(const std::string& fileName, files::AtomicWriteOptions options) {
  fileName_ = fileName;
  impl_.reset();
  // A page whose folder is missing is reported before its text is built.
  std::string folder = files::parentFolder(fileName);
  if (!folder.empty() && !files::directoryExists(folder)) files::raiseErrno(ENOENT, "Cannot create", fileName);
  auto impl = std::make_unique<Impl>();
  impl->options = std::move(options);
  impl_ = std::move(impl);
}

void TVKTextStream::write(std::string_view utf8) {
  if (!impl_) raise(err::kInvalidCall, "TVKTextStream", "The output stream is not open");
  if (isAscii(utf8))
    impl_->buffer.append(utf8);
  else
    impl_->iconv.convert(utf8, impl_->buffer);
}

void TVKTextStream::WriteLine(std::string_view text) {
  write(text);
  write(kCRLF);
}

void TVKTextStream::WriteText(std::string_view text) { write(text); }

void TVKTextStream::WriteWholeText(std::string&& text) {
  if (impl_ && impl_->buffer.empty() && isAscii(text))
    impl_->buffer = std::move(text);
  else
    write(text);
}

void TVKTextStream::WriteBlankLines(std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) write(kCRLF);
}

void TVKTextStream::CloseStream() {
  if (!impl_) raise(err::kInvalidCall, "TVKTextStream", "The output stream is not open");
  std::unique_ptr<Impl> impl = std::move(impl_);
  files::writeFileAtomic(fileName_, impl->buffer, impl->options);
  fileName_.clear();
}

}  // namespace tvk
