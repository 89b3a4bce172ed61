#include "database/connection_string.h"

#include <algorithm>

#include "base/error.h"
#include "base/general.h"

namespace tvk::db {

namespace {

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

ConnectionString ConnectionString::parse(std::string_view text) {
  ConnectionString result;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t equals = text.find('=', pos);
    size_t semicolon = text.find(';', pos);
    if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
      // A part without "=": nothing a driver could use; skip it.
      if (semicolon == std::string_view::npos) break;
      pos = semicolon + 1;
      continue;
    }
    ConnectionAttribute attribute;
    attribute.key = std::string(trimmed(text.substr(pos, equals - pos)));
    pos = equals + 1;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos < text.size() && text[pos] == '{') {
      ++pos;
      bool closed = false;
      while (pos < text.size()) {
        if (text[pos] == '}') {
          if (pos + 1 < text.size() && text[pos + 1] == '}') {
            attribute.value += '}';
            pos += 2;
            continue;
          }
          ++pos;
          closed = true;
          break;
        }
        attribute.value += text[pos++];
      }
      if (!closed)
        raise(err::kDatabase, "ConnectionString",
              "The value of " + attribute.key + " opens a brace \"{\" that is never closed");
      size_t end = text.find(';', pos);
      pos = end == std::string_view::npos ? text.size() : end + 1;
    } else {
      size_t end = text.find(';', pos);
      if (end == std::string_view::npos) end = text.size();
      attribute.value = std::string(trimmed(text.substr(pos, end - pos)));
      pos = end + 1;
    }
    if (!attribute.key.empty()) result.attributes_.push_back(std::move(attribute));
  }
  return result;
}

std::optional<std::string> ConnectionString::get(std::string_view key) const {
  for (auto it = attributes_.rbegin(); it != attributes_.rend(); ++it)
    if (gfbEqualNoCase(it->key, key)) return it->value;
  return std::nullopt;
}

void ConnectionString::set(std::string_view key, std::string_view value) {
  auto first = std::find_if(attributes_.begin(), attributes_.end(),
                            [&](const ConnectionAttribute& a) { return gfbEqualNoCase(a.key, key); });
  if (first == attributes_.end()) {
    attributes_.push_back({std::string(key), std::string(value)});
    return;
  }
  first->key = std::string(key);
  first->value = std::string(value);
  attributes_.erase(std::remove_if(std::next(first), attributes_.end(),
                                   [&](const ConnectionAttribute& a) { return gfbEqualNoCase(a.key, key); }),
                    attributes_.end());
}

void ConnectionString::remove(std::string_view key) {
  std::erase_if(attributes_, [&](const ConnectionAttribute& a) { return gfbEqualNoCase(a.key, key); });
}

void ConnectionString::fold(std::string_view key, const std::vector<std::string_view>& aliases) {
  const auto matches = [&](const ConnectionAttribute& a) {
    if (gfbEqualNoCase(a.key, key)) return true;
    return std::any_of(aliases.begin(), aliases.end(),
                       [&](std::string_view alias) { return gfbEqualNoCase(a.key, alias); });
  };
  auto first = std::find_if(attributes_.begin(), attributes_.end(), matches);
  if (first == attributes_.end()) return;
  size_t place = static_cast<size_t>(first - attributes_.begin());
  std::string value;
  for (const ConnectionAttribute& a : attributes_)
    if (matches(a)) value = a.value;
  std::erase_if(attributes_, matches);
  attributes_.insert(attributes_.begin() + static_cast<std::ptrdiff_t>(place), {std::string(key), std::move(value)});
}

std::string ConnectionString::text() const {
  std::string out;
  for (const ConnectionAttribute& a : attributes_) {
    out += a.key;
    out += '=';
    out += connectionValue(a.value);
    out += ';';
  }
  return out;
}

std::string connectionValue(std::string_view value) {
  if (value.find_first_of(";{} \t") == std::string_view::npos) return std::string(value);
  std::string braced = "{";
  for (char c : value) {
    braced += c;
    if (c == '}') braced += '}';
  }
  return braced + "}";
}

bool usesNativeSqlite(const ConnectionString& connection) {
  std::optional<std::string> driver = connection.get("Driver");
  return driver && gfbStartsWithNoCase(trimmed(*driver), "SQLite");
}

}  // namespace tvk::db
