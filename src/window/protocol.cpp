#include "window/protocol.h"

#include <array>
#include <utility>

namespace tvk {

namespace {

constexpr std::array<std::pair<WizardButton, std::string_view>, 6> kButtons{{
    {WizardButton::Back, "Back"},
    {WizardButton::Next, "Next"},
    {WizardButton::Finish, "Finish"},
    {WizardButton::Exit, "Exit"},
    {WizardButton::Cancel, "Cancel"},
    {WizardButton::About, "About"},
}};

constexpr std::array<std::pair<MsgResult, std::string_view>, 7> kResults{{
    {MsgResult::OK, "OK"},
    {MsgResult::Cancel, "Cancel"},
    {MsgResult::Abort, "Abort"},
    {MsgResult::Retry, "Retry"},
    {MsgResult::Ignore, "Ignore"},
    {MsgResult::Yes, "Yes"},
    {MsgResult::No, "No"},
}};

template <class Table, class Key>
std::string_view nameOf(const Table& table, Key key) {
  for (const auto& [value, name] : table)
    if (value == key) return name;
  return {};
}

template <class Table>
auto valueOf(const Table& table, std::string_view name) -> std::optional<decltype(table[0].first)> {
  for (const auto& [value, text] : table)
    if (text == name) return value;
  return std::nullopt;
}

}  // namespace

std::string_view buttonName(WizardButton button) { return nameOf(kButtons, button); }
std::optional<WizardButton> buttonFromName(std::string_view name) { return valueOf(kButtons, name); }
std::string_view msgResultName(MsgResult result) { return nameOf(kResults, result); }
std::optional<MsgResult> msgResultFromName(std::string_view name) { return valueOf(kResults, name); }

std::string_view msgButtonsName(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OK:
      return "OK";
    case MsgButtons::OKCancel:
      return "OKCancel";
    case MsgButtons::AbortRetryIgnore:
      return "AbortRetryIgnore";
    case MsgButtons::YesNoCancel:
      return "YesNoCancel";
    case MsgButtons::YesNo:
      return "YesNo";
    case MsgButtons::RetryCancel:
      return "RetryCancel";
  }
  return "OK";
}

std::string_view msgIconName(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None:
      return "None";
    case MsgIcon::Critical:
      return "Critical";
    case MsgIcon::Question:
      return "Question";
    case MsgIcon::Exclamation:
      return "Exclamation";
    case MsgIcon::Information:
      return "Information";
  }
  return "None";
}

MsgResult dismissedAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OK:
      return MsgResult::OK;
    case MsgButtons::AbortRetryIgnore:
      return MsgResult::Abort;
    case MsgButtons::YesNo:
      return MsgResult::No;
    default:
      return MsgResult::Cancel;
  }
}

}  // namespace tvk
