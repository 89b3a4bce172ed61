// Everything the wizard asks the user: message boxes, the open and save file
// dialogs and the folder browser. The browser window implements it with modal
// dialogs drawn in the page; ConsoleUi serves the command line and the tests.
#pragma once

#include <deque>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"  // MsgResult

namespace tvk {

enum class MsgButtons { OK = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };

inline constexpr std::string_view kMsgTitle = "TVK Wizard";

// One row of a hand-made lookup list as its editor shows it: the value the
// generated page stores and the text shown for it.
struct ListEditorRow {
  std::string linkField;
  std::string displayField;
  friend bool operator==(const ListEditorRow&, const ListEditorRow&) = default;
};

struct FileFilter {
  std::string description;  // "Project files (*.xml)"
  std::string pattern;      // "*.xml"
};

class Ui {
 public:
  virtual ~Ui() = default;
  virtual MsgResult messageBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title) = 0;
  // Each dialog returns the chosen path, or the empty text when cancelled.
  virtual std::string openFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                                     std::string_view initialDirectory) = 0;
  virtual std::string saveFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                                     std::string_view initialDirectory, std::string_view defaultName) = 0;
  virtual std::string browseFolder(std::string_view title, std::string_view startDirectory) = 0;
  // The lookup list grid, modal: the user edits the rows in place (changes
  // cells, appends rows at the end, may delete rows). True when the user
  // closed it with the rows to keep; false when it was dismissed without an
  // answer (the caller then changes nothing). A user interface that has no
  // grid keeps this default, which can edit nothing and so answers false.
  virtual bool editList(std::string_view title, std::vector<ListEditorRow>& rows);
};

// Whether a message box with these buttons can answer `answer`.
bool offersAnswer(MsgButtons buttons, MsgResult answer);

// A message box of the wizard: title "TVK Wizard".
MsgResult gMsgBox(Ui& ui, std::string_view text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None);

// Writes every message to a stream (stderr by default) and answers from a
// scripted queue; with the queue empty it answers the default: OK for
// messages (Abort where OK is not offered), cancel for the dialogs.
class ConsoleUi final : public Ui {
 public:
  ConsoleUi();
  explicit ConsoleUi(std::ostream& out);

  // Scripted answers, taken in order: message-box buttons, and paths for the
  // dialogs (an empty path cancels).
  void pushAnswer(MsgResult button) { buttons_.push_back(button); }
  void pushPath(std::string path) { paths_.push_back(std::move(path)); }
  // The rows the next list editor closes with; with none queued it closes
  // with its rows unchanged.
  void pushRows(std::vector<ListEditorRow> rows) { rowLists_.push_back(std::move(rows)); }

  // Every message shown, in order (title, then text, joined by ": ").
  const std::vector<std::string>& shown() const { return shown_; }

  MsgResult messageBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title) override;
  std::string openFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                             std::string_view initialDirectory) override;
  std::string saveFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                             std::string_view initialDirectory, std::string_view defaultName) override;
  std::string browseFolder(std::string_view title, std::string_view startDirectory) override;
  bool editList(std::string_view title, std::vector<ListEditorRow>& rows) override;

 private:
  std::string nextPath(std::string_view what, std::string_view title);

  std::ostream* out_;
  std::deque<MsgResult> buttons_;
  std::deque<std::string> paths_;
  std::deque<std::vector<ListEditorRow>> rowLists_;
  std::vector<std::string> shown_;
};

}  // namespace tvk
