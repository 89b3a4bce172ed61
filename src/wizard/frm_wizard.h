// The wizard window's logic: the page flow, the buttons, and the state the
// page loaders and storers share (the run's wizard data, the element
// bindings, the field shown on the field options page). Independent of how
// the window is drawn: it works through a WizardView.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/xml.h"
#include "wizard/html_routines.h"

namespace tvk {

class Session;
class SettingsStore;
class Ui;
class WizardView;
class XMLWizData;

class FrmWizard {
 public:
  static constexpr std::string_view kModule = "frmWizard";

  // `dataDirectory` holds TVKWizardFlow.xml and TVKWizardHTML/. Everything
  // given must outlive the window.
  FrmWizard(Session& session, WizardView& view, SettingsStore& settings, std::string dataDirectory);
  ~FrmWizard();
  FrmWizard(const FrmWizard&) = delete;
  FrmWizard& operator=(const FrmWizard&) = delete;

  Session& session() const { return session_; }
  Ui& ui() const;
  WizardView& view() const { return view_; }
  SettingsStore& settings() const { return settings_; }
  // The shown page with the user interface its routines report to.
  HtmlPage page() const;
  // The run's wizard data, created (empty) on first use.
  XMLWizData& wizData();
  bool hasWizData() const { return wizData_ != nullptr; }
  const std::string& htmlDirectory() const { return htmlDirectory_; }
  const std::string& dataDirectory() const { return dataDirectory_; }

  // Element bindings by name ("TVKW_ChooseDirectory"): binds an event of the
  // shown page's element `elementId`; a missing element binds nothing.
  // Releasing an unknown binding does nothing.
  void bindElement(std::string_view binding, std::string_view elementId, std::string_view event,
                   std::function<void()> handler);
  void releaseBinding(std::string_view binding);
  bool isBound(std::string_view binding) const;

  // The field shown on the field options page (empty when none).
  std::string msCurrentField;

  // The window's own operations.
  void Form_Load();
  void InitWizBrowser();
  void NavigateToFile(const std::string& path);
  void LoadNextPage();
  void LoadBackPage();
  void WizBrowser_DocumentComplete();
  void CheckNextURL();
  void CheckBackURL();
  void ProjectTypeChanged();
  void ReleaseIntroButton();
  void cmdNext_Click();
  void cmdBack_Click();
  void cmdFinish_Click();
  void cmdCancel_Click();
  void cmdExit_Click();
  void cmdAbout_Click();

  // The flow stage shown (its Page text), and whether the window has closed.
  std::string currentPageName() const;
  bool closed() const { return closed_; }

 private:
  struct Binding {
    ElementRef element;
    std::string event;
  };
  bool stageApplies(const XmlNode& stage);
  void moveTo(const XmlNode& stage);

  Session& session_;
  WizardView& view_;
  SettingsStore& settings_;
  std::string dataDirectory_;
  std::string htmlDirectory_;
  std::unique_ptr<XMLWizData> wizData_;
  std::unique_ptr<XMLWizData> flow_;
  XmlNode currentStage_;
  std::map<std::string, Binding, std::less<>> bindings_;
  bool closed_ = false;
};

// Loading, storing and validating the pages (one routine per page behind
// each of these; pages of other names are shown as they stand).
void LoadPageData(FrmWizard& wizard);
bool fbStorePageData(FrmWizard& wizard);
bool fbValidatePageData(FrmWizard& wizard, std::string_view pageName);

}  // namespace tvk
