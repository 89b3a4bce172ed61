#include "host/wizard_context.h"

#include "host/ui.h"

namespace tvk {

namespace {
WizardContext& contextStorage() {
  static WizardContext context;
  return context;
}
}  // namespace

WizardContext& wizardContext() { return contextStorage(); }

Ui& wizardUi() {
  WizardContext& context = wizardContext();
  if (!context.ui) context.ui = std::make_shared<ConsoleUi>();
  return *context.ui;
}

ScopedWizardContext::ScopedWizardContext()
    : saved_(std::make_unique<WizardContext>(std::move(contextStorage()))) {
  contextStorage() = WizardContext{};
}

ScopedWizardContext::ScopedWizardContext(std::shared_ptr<Ui> ui) : ScopedWizardContext() {
  contextStorage().ui = std::move(ui);
}

ScopedWizardContext::~ScopedWizardContext() { contextStorage() = std::move(*saved_); }

}  // namespace tvk
