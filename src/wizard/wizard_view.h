// The wizard window as its logic sees it: the buttons' states, the caption,
// the page frame and the busy state. The browser window and the headless
// window of the tests and the command line implement it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tvk {

class PageDocument;

enum class WizardButton { Back, Next, Finish, Exit, Cancel, About };

class WizardView {
 public:
  virtual ~WizardView() = default;

  virtual void setCaption(std::string_view caption) = 0;
  virtual void setEnabled(WizardButton button, bool enabled) = 0;
  virtual void setVisible(WizardButton button, bool visible) = 0;
  virtual bool isEnabled(WizardButton button) const = 0;
  virtual bool isVisible(WizardButton button) const = 0;

  // Shows a page file in the frame and calls the document-complete handler
  // once the page has loaded (the headless view at once, before navigate
  // returns). A file that cannot be shown fails with WizError.
  virtual void navigate(const std::string& path) = 0;
  virtual void setDocumentCompleteHandler(std::function<void()> handler) = 0;
  // The document of the page shown.
  virtual PageDocument& document() = 0;

  // The wait cursor and blocked input while the logic works.
  virtual void setBusy(bool busy) = 0;
  // The About box, modal.
  virtual void showAbout() = 0;
  // Closes the window; the wizard's run ends.
  virtual void close() = 0;
};

}  // namespace tvk
