#include "wizard/headless_view.h"

#include "base/error.h"

namespace tvk {

namespace {

// "file:/dir/page.htm" and "file:///dir/page.htm" name /dir/page.htm.
std::string filePath(const std::string& url) {
  constexpr std::string_view kScheme = "file:";
  if (url.compare(0, kScheme.size(), kScheme) != 0) return url;
  std::string path = url.substr(kScheme.size());
  if (path.compare(0, 3, "///") == 0) path.erase(0, 2);
  return path;
}

}  // namespace

HeadlessView::HeadlessView() {
  enabled_.fill(true);
  visible_.fill(true);
}

HeadlessView::~HeadlessView() = default;

size_t HeadlessView::index(WizardButton button) {
  const auto i = static_cast<size_t>(button);
  if (i >= kButtons) raise(err::kInvalidCall, std::string(kSource), "Unknown wizard button");
  return i;
}

void HeadlessView::setEnabled(WizardButton button, bool enabled) { enabled_[index(button)] = enabled; }
void HeadlessView::setVisible(WizardButton button, bool visible) { visible_[index(button)] = visible; }
bool HeadlessView::isEnabled(WizardButton button) const { return enabled_[index(button)]; }
bool HeadlessView::isVisible(WizardButton button) const { return visible_[index(button)]; }

void HeadlessView::navigate(const std::string& path) {
  const std::string file = filePath(path);
  std::unique_ptr<HtmlDocument> page = HtmlDocument::load(file);
  // The old page goes now, as in a browser; a handler of it that navigated
  // here finds its document gone and stops (see HtmlDocument::click).
  document_ = std::move(page);
  lastNavigated_ = file;
  // A copy: the handler may set another handler while it runs.
  if (std::function<void()> handler = documentComplete_) handler();
}

void HeadlessView::setDocumentCompleteHandler(std::function<void()> handler) { documentComplete_ = std::move(handler); }

PageDocument& HeadlessView::document() { return htmlDocument(); }

HtmlDocument& HeadlessView::htmlDocument() {
  if (!document_) raise(err::kObjectNotSet, std::string(kSource), "No page has been loaded");
  return *document_;
}

}  // namespace tvk
