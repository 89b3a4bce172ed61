#include <iostream>

#include "base/session.h"
#include "base/ui.h"

namespace tvk {

namespace {

MsgResult defaultAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OK:
    case MsgButtons::OKCancel:
      return MsgResult::OK;
    case MsgButtons::AbortRetryIgnore:
      return MsgResult::Abort;
    case MsgButtons::YesNoCancel:
      return MsgResult::Cancel;
    case MsgButtons::YesNo:
      return MsgResult::No;
    case MsgButtons::RetryCancel:
      return MsgResult::Cancel;
  }
  return MsgResult::Cancel;
}

}  // namespace

ConsoleUi::ConsoleUi() : out_(&std::cerr) {}
ConsoleUi::ConsoleUi(std::ostream& out) : out_(&out) {}

MsgResult ConsoleUi::messageBox(std::string_view text, MsgButtons buttons, MsgIcon, std::string_view title) {
  std::string line{title};
  line += ": ";
  line += text;
  shown_.push_back(line);
  *out_ << line << '\n';
  MsgResult answer = defaultAnswer(buttons);
  if (!buttons_.empty()) {
    answer = buttons_.front();
    buttons_.pop_front();
    if (!offersAnswer(buttons, answer)) answer = defaultAnswer(buttons);
  }
  return answer;
}

std::string ConsoleUi::nextPath(std::string_view what, std::string_view title) {
  std::string line{what};
  line += ": ";
  line += title;
  shown_.push_back(line);
  if (paths_.empty()) return {};
  std::string path = std::move(paths_.front());
  paths_.pop_front();
  return path;
}

std::string ConsoleUi::openFileDialog(std::string_view title, const std::vector<FileFilter>&, std::string_view) {
  return nextPath("Open", title);
}

std::string ConsoleUi::saveFileDialog(std::string_view title, const std::vector<FileFilter>&, std::string_view,
                                      std::string_view) {
  return nextPath("Save", title);
}

std::string ConsoleUi::browseFolder(std::string_view title, std::string_view) { return nextPath("Browse", title); }

bool Ui::editList(std::string_view, std::vector<ListEditorRow>&) { return false; }

bool ConsoleUi::editList(std::string_view title, std::vector<ListEditorRow>& rows) {
  std::string line{"List: "};
  line += title;
  shown_.push_back(line);
  if (!rowLists_.empty()) {
    rows = std::move(rowLists_.front());
    rowLists_.pop_front();
  }
  return true;
}

MsgResult gMsgBox(Ui& ui, std::string_view text, MsgButtons buttons, MsgIcon icon) {
  return ui.messageBox(text, buttons, icon, kMsgTitle);
}

bool offersAnswer(MsgButtons buttons, MsgResult answer) {
  switch (buttons) {
    case MsgButtons::OK:
      return answer == MsgResult::OK;
    case MsgButtons::OKCancel:
      return answer == MsgResult::OK || answer == MsgResult::Cancel;
    case MsgButtons::AbortRetryIgnore:
      return answer == MsgResult::Abort || answer == MsgResult::Retry || answer == MsgResult::Ignore;
    case MsgButtons::YesNoCancel:
      return answer == MsgResult::Yes || answer == MsgResult::No || answer == MsgResult::Cancel;
    case MsgButtons::YesNo:
      return answer == MsgResult::Yes || answer == MsgResult::No;
    case MsgButtons::RetryCancel:
      return answer == MsgResult::Retry || answer == MsgResult::Cancel;
  }
  return false;
}

}  // namespace tvk
