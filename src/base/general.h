// Path routines shared by every subsystem. Both separators are accepted on
// input; results use the platform separator "/" (URLs use "/" anyway).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tvk {

inline constexpr char kPathSeparator = '/';

// Both separators folded to the platform one.
std::string gfsNormalisePath(std::string_view path);

std::string gfsFileName(std::string_view path);
// The directory part with its trailing separator, or the empty text.
std::string gfsFilePath(std::string_view path);
// The relative URL from one directory to another, ending with "/" (empty for
// the same directory). Case-insensitive; either separator.
std::string gfsRelativePath(std::string_view fromDirectory, std::string_view toDirectory);
int fnDirLevels(std::string_view path);
std::string gsQuoteDoubled(std::string_view text);
// Text made safe for HTML, in an attribute or between tags: & < > " and '
// written as entities.
std::string gfsHTMLEscape(std::string_view text);
// Text percent-encoded for a URL: every byte but letters, digits, "-._~"
// and those in `keep`.
std::string gfsURLEncode(std::string_view text, std::string_view keep = {});
bool gfbValidInteger(std::string_view text, std::optional<long> lower = std::nullopt,
                     std::optional<long> upper = std::nullopt);
// The folder browser; the empty text when cancelled.
class Ui;
std::string gfsGetDirectory(Ui& ui, std::string_view title, std::string_view startDirectory);

// The text without the blanks (" ") at either end.
std::string_view trimBlanks(std::string_view text);

// Upper-cases ASCII letters (paths compare without regard to case).
std::string gfsUpper(std::string_view text);
// Lower-cases ASCII letters (names that differ only in case clash).
std::string gfsLower(std::string_view text);
bool gfbEqualNoCase(std::string_view a, std::string_view b);
bool gfbStartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace tvk
