// The checks every request to the local server passes before anything is
// served: the run's token, the Host and Origin headers, and the mapping of a
// request target to a file of the two served folders. Pure functions over
// strings (plus the file system for the last step), so each case is cheap to
// test without a network.
#pragma once

#include <string>
#include <string_view>

namespace tvk {

// Compares two secrets in time that depends only on their length.
bool tokensEqual(std::string_view given, std::string_view expected);

// Where a request carried the run's token.
enum class TokenSource { None, Query, Cookie };

// The token is the query parameter `token` of the request target or the
// cookie `tvk_token` of the Cookie header. An empty expected token matches
// nothing.
TokenSource findToken(std::string_view target, std::string_view cookieHeader, std::string_view token);

// The Host header names the loopback address and the server's port:
// "127.0.0.1:<port>" or "localhost:<port>" (host part in any case).
bool hostAllowed(std::string_view host, unsigned short port);

// The Origin of a WebSocket handshake is the server's own page:
// "http://127.0.0.1:<port>" or "http://localhost:<port>".
bool originAllowed(std::string_view origin, unsigned short port);

// The path part of a request target (without the query).
std::string_view targetPath(std::string_view target);

enum class PathStatus { Ok, Forbidden, NotFound };

struct ResolvedPath {
  PathStatus status = PathStatus::NotFound;
  std::string file;  // the file's real path when Ok
};

// The served folders of the data directory.
inline constexpr std::string_view kWindowFolder = "TVKWizardWindow";
inline constexpr std::string_view kPagesFolder = "TVKWizardHTML";

// Maps a request target to a file: "/" is the window page, "/<folder>/<name>"
// a file of one of the two served folders. The path is percent-decoded once;
// a "." or ".." segment, a backslash, a NUL, an encoded slash or backslash or
// a broken escape is Forbidden. The file's real path (symlinks resolved) must
// lie inside the folder's real path and be a regular file, else NotFound.
ResolvedPath resolvePath(std::string_view target, const std::string& dataDirectory);

// The Content-Type of a served file, by its extension.
std::string_view contentType(std::string_view file);

}  // namespace tvk
