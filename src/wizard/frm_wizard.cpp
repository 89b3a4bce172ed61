#include "wizard/frm_wizard.h"

#include "base/error.h"
#include "base/fs.h"
#include "base/general.h"
#include "base/session.h"
#include "base/ui.h"
#include "wizard/page_document.h"
#include "wizard/wizard_view.h"
#include "wizdata/xml_wiz_constants.h"
#include "wizdata/xml_wiz_data.h"

namespace tvk {

namespace {

constexpr std::string_view kStage = "Stage";
constexpr std::string_view kFinalPage = "TVKFinished";
constexpr std::string_view kFinalFile = "TVKFinished.htm";
constexpr std::string_view kNextBinding = "WIZF_NextURL";
constexpr std::string_view kBackBinding = "WIZF_BackURL";

[[noreturn]] void flowFault(const std::string& description) {
  raise(err::kInvalidCall, std::string(FrmWizard::kModule), description);
}

}  // namespace

FrmWizard::FrmWizard(Session& session, WizardView& view, SettingsStore& settings, std::string dataDirectory)
    : session_(session),
      view_(view),
      settings_(settings),
      dataDirectory_(std::move(dataDirectory)),
      htmlDirectory_(files::join(dataDirectory_, "TVKWizardHTML") + "/") {
  view_.setDocumentCompleteHandler([this] { WizBrowser_DocumentComplete(); });
}

FrmWizard::~FrmWizard() { view_.setDocumentCompleteHandler({}); }

Ui& FrmWizard::ui() const { return session_.ui(); }

HtmlPage FrmWizard::page() const { return HtmlPage{view_.document(), session_.ui()}; }

XMLWizData& FrmWizard::wizData() {
  if (!wizData_) wizData_ = std::make_unique<XMLWizData>(session_);
  return *wizData_;
}

void FrmWizard::bindElement(std::string_view binding, std::string_view elementId, std::string_view event,
                            std::function<void()> handler) {
  PageDocument& doc = view_.document();
  ElementRef element = doc.elementById(elementId);
  if (!element) return;
  releaseBinding(binding);
  doc.bind(element, event, std::move(handler));
  bindings_[std::string(binding)] = Binding{element, std::string(event)};
}

void FrmWizard::releaseBinding(std::string_view binding) {
  auto found = bindings_.find(binding);
  if (found == bindings_.end()) return;
  Binding gone = found->second;
  bindings_.erase(found);
  try {
    view_.document().unbind(gone.element, gone.event);
  } catch (...) {
    // The page (and with it the element) is gone already.
  }
}

bool FrmWizard::isBound(std::string_view binding) const { return bindings_.find(binding) != bindings_.end(); }

std::string FrmWizard::currentPageName() const {
  return currentStage_ ? currentStage_.child("Page").text() : std::string();
}

void FrmWizard::Form_Load() {
  ErrorTrap trap{ui(), kModule, "Form_Load"};
  trap([&] { InitWizBrowser(); });
}

void FrmWizard::InitWizBrowser() {
  ErrorTrap trap{ui(), kModule, "InitWizBrowser"};
  if (!trap([&] {
        view_.setEnabled(WizardButton::Cancel, true);
        for (WizardButton button : {WizardButton::Next, WizardButton::Back, WizardButton::Finish})
          view_.setEnabled(button, false);
        view_.setVisible(WizardButton::Exit, false);
        view_.setVisible(WizardButton::Finish, true);
      }))
    return;
  std::string flowPath = files::join(dataDirectory_, "TVKWizardFlow.xml");
  std::string loadError;
  if (!trap([&] {
        flow_ = std::make_unique<XMLWizData>(session_);
        // A flow file that cannot be read leaves an empty flow document;
        // the missing first stage below then says why.
        if (!flow_->Load(flowPath)) loadError = flow_->lastLoadError();
      }))
    return;
  if (!trap([&] {
        currentStage_ = flow_->GetNode(kStage);
        if (!currentStage_)
          flowFault("The page flow " + flowPath + " has no first Stage" +
                    (loadError.empty() ? std::string() : ": " + loadError));
      }))
    return;
  trap([&] { NavigateToFile(htmlDirectory_ + currentStage_.child("File").text()); });
}

void FrmWizard::NavigateToFile(const std::string& path) {
  // Failures pass on unchanged: the caller's report names the caller.
  view_.navigate(path);
}

bool FrmWizard::stageApplies(const XmlNode& stage) {
  XmlNode condition = stage.child("Condition");
  if (!condition) return true;
  return wizData().GetNodeText(condition.child("Test").text()) == condition.child("Value").text();
}

void FrmWizard::LoadNextPage() {
  ErrorTrap trap{ui(), kModule, "LoadNextPage"};
  trap([&] {
    for (const XmlNode& child : currentStage_.children()) {
      if (child.name() != kStage || !stageApplies(child)) continue;
      moveTo(child);
      return;
    }
    // No page applies: the developer stays where he is.
    view_.setBusy(false);
  });
  if (trap.aborted()) view_.setBusy(false);
}

void FrmWizard::moveTo(const XmlNode& stage) {
  // The stage changes only with its page: a page that cannot be shown
  // leaves the developer on the one he sees.
  XmlNode previous = currentStage_;
  currentStage_ = stage;
  try {
    NavigateToFile(htmlDirectory_ + stage.child("File").text());
  } catch (...) {
    currentStage_ = previous;
    throw;
  }
}

void FrmWizard::LoadBackPage() {
  ErrorTrap trap{ui(), kModule, "LoadBackPage"};
  trap([&] {
    XmlNode parent = currentStage_.parent();
    // The first stage has no page before it.
    if (!parent || parent.name() != kStage) {
      view_.setBusy(false);
      return;
    }
    moveTo(parent);
  });
  if (trap.aborted()) view_.setBusy(false);
}

void FrmWizard::WizBrowser_DocumentComplete() {
  ErrorTrap trap{ui(), kModule, "WizBrowser_DocumentComplete"};
  // The bindings belonged to the page that was replaced.
  bindings_.clear();
  if (!trap([&] { view_.setCaption(view_.document().title()); })) return;
  if (!trap([&] {
        bindElement(kNextBinding, "WIZF_NextURL", kEventPropertyChange, [this] { CheckNextURL(); });
        bindElement(kBackBinding, "WIZF_BackURL", kEventPropertyChange, [this] { CheckBackURL(); });
      }))
    return;
  if (!trap([&] {
        if (!view_.document().elementById("WIZF_PageName"))
          flowFault("The page \"" + view_.document().title() +
                    "\" has no WIZF_PageName: it cannot be loaded or stored");
        LoadPageData(*this);
      }))
    return;
  if (!trap([&] {
        CheckNextURL();
        CheckBackURL();
      }))
    return;
  if (!trap([&] { view_.setEnabled(WizardButton::Finish, wizData().GetNodeText(wiz::FinishEnabled) == wiz::kTrue); }))
    return;
  view_.setBusy(false);
}

void FrmWizard::CheckNextURL() {
  ErrorTrap trap{ui(), kModule, "CheckNextURL"};
  trap([&] {
    if (!isBound(kNextBinding)) return;
    view_.setEnabled(WizardButton::Next, trimBlanks(gfsGetTextInputValue(page(), "WIZF_NextURL")) == "TRUE");
  });
}

void FrmWizard::CheckBackURL() {
  ErrorTrap trap{ui(), kModule, "CheckBackURL"};
  trap([&] {
    if (!isBound(kBackBinding)) return;
    view_.setEnabled(WizardButton::Back, trimBlanks(gfsGetTextInputValue(page(), "WIZF_BackURL")) == "TRUE");
  });
}

void FrmWizard::ProjectTypeChanged() {
  bool same = gfsGetRadioInputValue(page(), "ProjectType") == wizData().GetNodeText(wiz::ProjectType);
  view_.setEnabled(WizardButton::Finish, same);
  wizData().SetNodeText(wiz::FinishEnabled, same ? wiz::kTrue : wiz::kFalse);
}

void FrmWizard::ReleaseIntroButton() { releaseBinding("TVKW_FileOpenExistingProject"); }

void FrmWizard::cmdNext_Click() {
  ErrorTrap trap{ui(), kModule, "cmdNext_Click"};
  view_.setBusy(true);
  bool moved = false;
  trap([&] {
    std::string pageName = gfsGetTextInputValue(page(), "WIZF_PageName");
    if (fbStorePageData(*this) && fbValidatePageData(*this, pageName)) {
      moved = true;
      LoadNextPage();
    }
  });
  if (!moved) view_.setBusy(false);
}

void FrmWizard::cmdBack_Click() {
  ErrorTrap trap{ui(), kModule, "cmdBack_Click"};
  view_.setBusy(true);
  bool moved = false;
  trap([&] {
    if (view_.isVisible(WizardButton::Exit)) {
      view_.setVisible(WizardButton::Finish, true);
      view_.setVisible(WizardButton::Exit, false);
      releaseBinding("TVKW_SaveWizData");
    }
    if (fbStorePageData(*this)) {
      moved = true;
      LoadBackPage();
    }
  });
  if (!moved) view_.setBusy(false);
}

void FrmWizard::cmdFinish_Click() {
  ErrorTrap trap{ui(), kModule, "cmdFinish_Click"};
  view_.setBusy(true);
  bool shown = false;
  trap([&] {
    fbStorePageData(*this);  // no validation on the way to the end
    // Walk to the final stage first, so that Back from the final page
    // returns to the stage before it. A flow that leads nowhere is a broken
    // data file: say so instead of generating from a half-walked flow.
    XmlNode stage = currentStage_;
    while (stage && stage.child("Page").text() != kFinalPage) {
      XmlNode next;
      for (const XmlNode& child : stage.children()) {
        if (child.name() == kStage && stageApplies(child)) {
          next = child;
          break;
        }
      }
      if (!next) flowFault("The page flow leads nowhere from " + stage.child("Page").text() + " for this project");
      stage = next;
    }
    XmlNode previous = currentStage_;
    currentStage_ = stage;
    try {
      NavigateToFile(htmlDirectory_ + std::string(kFinalFile));
    } catch (...) {
      currentStage_ = previous;
      throw;
    }
    shown = true;
  });
  if (!shown) view_.setBusy(false);
}

void FrmWizard::cmdCancel_Click() {
  wizData_.reset();  // unsaved answers are gone
  releaseBinding(kNextBinding);
  releaseBinding(kBackBinding);
  closed_ = true;
  view_.close();
}

void FrmWizard::cmdExit_Click() { cmdCancel_Click(); }

void FrmWizard::cmdAbout_Click() {
  ErrorTrap trap{ui(), kModule, "cmdAbout_Click"};
  trap([&] { view_.showAbout(); });
}

}  // namespace tvk
