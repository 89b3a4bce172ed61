// The wizard window without a screen: it keeps the buttons' states, the
// caption and the busy state for the logic (and the tests) to read, and shows
// pages as in-process documents. Used by the tests and the command line.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "wizard/html_document.h"
#include "wizard/wizard_view.h"

namespace tvk {

class HeadlessView final : public WizardView {
 public:
  static constexpr std::string_view kSource = "HeadlessView";

  HeadlessView();
  ~HeadlessView() override;
  HeadlessView(const HeadlessView&) = delete;
  HeadlessView& operator=(const HeadlessView&) = delete;

  void setCaption(std::string_view caption) override { caption_ = caption; }
  void setEnabled(WizardButton button, bool enabled) override;
  void setVisible(WizardButton button, bool visible) override;
  bool isEnabled(WizardButton button) const override;
  bool isVisible(WizardButton button) const override;

  // Accepts a plain path or a "file:" URL of one. The page is loaded and the
  // document-complete handler has run when this returns; a page that cannot
  // be read fails with WizError and the page shown stays.
  void navigate(const std::string& path) override;
  void setDocumentCompleteHandler(std::function<void()> handler) override;
  // Fails with WizError before the first page has loaded.
  PageDocument& document() override;

  void setBusy(bool busy) override { busy_ = busy; }
  void showAbout() override { ++aboutCount_; }
  void close() override { closed_ = true; }

  const std::string& caption() const { return caption_; }
  bool busy() const { return busy_; }
  int aboutCount() const { return aboutCount_; }
  bool closed() const { return closed_; }
  bool hasDocument() const { return document_ != nullptr; }
  // The file of the page shown last (without the "file:" prefix).
  const std::string& lastNavigated() const { return lastNavigated_; }
  // The shown page as its own type, for tests that look at the HTML.
  HtmlDocument& htmlDocument();

 private:
  static constexpr size_t kButtons = 6;
  static size_t index(WizardButton button);

  std::string caption_;
  std::array<bool, kButtons> enabled_;
  std::array<bool, kButtons> visible_;
  std::unique_ptr<HtmlDocument> document_;
  std::function<void()> documentComplete_;
  std::string lastNavigated_;
  bool busy_ = false;
  int aboutCount_ = 0;
  bool closed_ = false;
};

}  // namespace tvk
