// The wizard window in the browser, as the wizard's logic sees it: the
// caption, the buttons and the busy state are kept here and sent to the
// window page as one `state` message on every change; pages are shown in the
// page's frame and read and written through a BridgeDocument.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/bridge_document.h"
#include "wizard/wizard_view.h"

namespace tvk {

class Bridge;

// What the About box shows.
struct AboutInfo {
  std::string version;
  std::string help;
  std::vector<std::pair<std::string, std::string>> info;
};

class BrowserView final : public WizardView {
 public:
  static constexpr std::string_view kSource = "BrowserView";
  static constexpr std::string_view kClosingText = "The wizard has ended. You may close this tab.";

  // `dataDirectory` holds TVKWizardHTML/, the only pages this view shows.
  BrowserView(Bridge& bridge, std::string dataDirectory, AboutInfo about);
  ~BrowserView() override;
  BrowserView(const BrowserView&) = delete;
  BrowserView& operator=(const BrowserView&) = delete;

  void setCaption(std::string_view caption) override;
  void setEnabled(WizardButton button, bool enabled) override;
  void setVisible(WizardButton button, bool visible) override;
  bool isEnabled(WizardButton button) const override;
  bool isVisible(WizardButton button) const override;

  // A page file of TVKWizardHTML/ (a plain path or a "file:" URL of one).
  // The page has loaded and the document-complete handler has run when this
  // returns; a page that cannot be shown fails with WizError and the page
  // shown stays.
  void navigate(const std::string& path) override;
  void setDocumentCompleteHandler(std::function<void()> handler) override;
  PageDocument& document() override { return document_; }
  BridgeDocument& bridgeDocument() { return document_; }

  void setBusy(bool busy) override;
  void showAbout() override;
  // Tells the page that the wizard has ended and ends the bridge.
  void close() override;

  // Sends the whole state (a window that has just connected needs it).
  void sendState();
  // Names the wizard's pages (the .htm files of TVKWizardHTML/) to a window
  // that has just connected, which loads them ahead while it is idle.
  void sendPages();
  // Shows the page shown last again (a window that has just connected has
  // none); nothing before the first page.
  void reshow();

  const std::string& caption() const { return caption_; }
  bool busy() const { return busy_; }
  // The file of the page shown last.
  const std::string& lastNavigated() const { return lastNavigated_; }

  // The URL under the server's root of a page file, or WizError for a file
  // outside TVKWizardHTML/.
  std::string pageUrl(const std::string& path) const;

 private:
  static constexpr size_t kButtons = 6;
  static size_t index(WizardButton button);

  Bridge& bridge_;
  std::string htmlDirectory_;
  AboutInfo about_;
  BridgeDocument document_;
  std::string caption_;
  std::array<bool, kButtons> enabled_;
  std::array<bool, kButtons> visible_;
  bool busy_ = false;
  std::function<void()> documentComplete_;
  std::string lastNavigated_;
};

}  // namespace tvk
