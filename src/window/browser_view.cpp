#include "window/browser_view.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <system_error>
#include <vector>

#include "base/error.h"
#include "base/general.h"
#include "window/bridge.h"
#include "window/protocol.h"

namespace tvk {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr std::string_view kHtmlFolder = "TVKWizardHTML";

// "file:/dir/page.htm" and "file:///dir/page.htm" name /dir/page.htm.
std::string filePath(const std::string& url) {
  constexpr std::string_view kScheme = "file:";
  if (url.compare(0, kScheme.size(), kScheme) != 0) return url;
  std::string path = url.substr(kScheme.size());
  if (path.compare(0, 3, "///") == 0) path.erase(0, 2);
  return path;
}

std::string percentEncoded(std::string_view text) { return gfsURLEncode(text); }

}  // namespace

BrowserView::BrowserView(Bridge& bridge, std::string dataDirectory, AboutInfo about)
    : bridge_(bridge),
      htmlDirectory_((fs::path(dataDirectory) / kHtmlFolder).string()),
      about_(std::move(about)),
      document_(bridge) {
  enabled_.fill(true);
  visible_.fill(true);
}

BrowserView::~BrowserView() = default;

size_t BrowserView::index(WizardButton button) {
  const auto i = static_cast<size_t>(button);
  if (i >= kButtons) raise(err::kInvalidCall, std::string(kSource), "Unknown wizard button");
  return i;
}

void BrowserView::setCaption(std::string_view caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  sendState();
}

void BrowserView::setEnabled(WizardButton button, bool enabled) {
  if (enabled_[index(button)] == enabled) return;
  enabled_[index(button)] = enabled;
  sendState();
}

void BrowserView::setVisible(WizardButton button, bool visible) {
  if (visible_[index(button)] == visible) return;
  visible_[index(button)] = visible;
  sendState();
}

bool BrowserView::isEnabled(WizardButton button) const { return enabled_[index(button)]; }
bool BrowserView::isVisible(WizardButton button) const { return visible_[index(button)]; }

void BrowserView::setBusy(bool busy) {
  if (busy_ == busy) return;
  busy_ = busy;
  sendState();
}

void BrowserView::sendState() {
  json buttons = json::object();
  for (WizardButton button : {WizardButton::Back, WizardButton::Next, WizardButton::Finish, WizardButton::Exit,
                              WizardButton::Cancel, WizardButton::About})
    buttons[std::string(buttonName(button))] = json{{"enabled", isEnabled(button)}, {"visible", isVisible(button)}};
  bridge_.post(json{{"op", "state"}, {"caption", caption_}, {"busy", busy_}, {"buttons", std::move(buttons)}});
}

void BrowserView::sendPages() {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(htmlDirectory_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->path().extension() == ".htm" && it->is_regular_file(typeError)) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  json urls = json::array();
  for (const std::string& file : files) urls.push_back(pageUrl(file));
  bridge_.post(json{{"op", "pages"}, {"urls", std::move(urls)}});
}

std::string BrowserView::pageUrl(const std::string& path) const {
  std::error_code ec;
  const fs::path folder = fs::weakly_canonical(htmlDirectory_, ec);
  const fs::path file = ec ? fs::path() : fs::weakly_canonical(filePath(path), ec);
  const fs::path relative = ec ? fs::path() : file.lexically_relative(folder);
  if (ec || relative.empty() || *relative.begin() == ".." || relative == ".")
    raise(err::kBadFileName, std::string(kSource),
          "The page '" + path + "' is not a page of the wizard (" + htmlDirectory_ + ")");
  std::string url = "/" + std::string(kHtmlFolder);
  for (const fs::path& part : relative) url += "/" + percentEncoded(part.string());
  return url;
}

void BrowserView::navigate(const std::string& path) {
  const std::string url = pageUrl(path);
  const std::string file = filePath(path);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec))
    raise(err::kFileNotFound, std::string(kSource), "The page '" + file + "' cannot be read: File not found");
  json shown = bridge_.call(json{{"op", "navigate"}, {"url", url}});
  // The old page's bindings went with it.
  document_.reset();
  if (shown.is_object() && shown.contains("snapshot")) document_.adoptSnapshot(shown["snapshot"]);
  lastNavigated_ = file;
  // A copy: the handler may set another handler while it runs.
  if (std::function<void()> handler = documentComplete_) handler();
}

void BrowserView::reshow() {
  if (!lastNavigated_.empty()) navigate(lastNavigated_);
}

void BrowserView::setDocumentCompleteHandler(std::function<void()> handler) { documentComplete_ = std::move(handler); }

void BrowserView::showAbout() {
  // Nobody can look at it once the window is gone.
  if (bridge_.ended()) return;
  json info = json::array();
  for (const auto& [name, value] : about_.info) info.push_back(json{{"name", name}, {"value", value}});
  try {
    bridge_.call(json{{"op", "dialog"},
                      {"kind", "about"},
                      {"version", about_.version},
                      {"help", about_.help},
                      {"info", std::move(info)}});
  } catch (const WizError&) {
    if (!bridge_.ended()) throw;
  }
}

void BrowserView::close() {
  bridge_.post(json{{"op", "close"}, {"text", std::string(kClosingText)}});
  bridge_.end();
}

}  // namespace tvk
