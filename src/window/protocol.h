// Names the window page and the C++ side both use in bridge messages (see
// docs/window.md): buttons, message-box buttons and icons, and answers.
#pragma once

#include <optional>
#include <string_view>

#include "base/error.h"
#include "base/ui.h"
#include "wizard/wizard_view.h"

namespace tvk {

std::string_view buttonName(WizardButton button);
std::optional<WizardButton> buttonFromName(std::string_view name);

std::string_view msgButtonsName(MsgButtons buttons);
std::string_view msgIconName(MsgIcon icon);
std::string_view msgResultName(MsgResult result);
std::optional<MsgResult> msgResultFromName(std::string_view name);

// The answer a message box gives when nobody can answer it any more (the
// window is gone): Cancel where offered, else Abort, No or OK.
MsgResult dismissedAnswer(MsgButtons buttons);

}  // namespace tvk
