// The wizard's questions as dialogs drawn in the browser window: message
// boxes, the file dialogs, the folder browser and the list editor grid. Each
// waits for the user's answer (a window that comes back shows it again);
// once the window has gone for good each answers as if dismissed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ui.h"

namespace tvk {

class Bridge;

class BrowserUi final : public Ui {
 public:
  // The longest texts the list editor keeps, in characters.
  static constexpr size_t kMaxLinkLength = 50;
  static constexpr size_t kMaxDisplayLength = 200;

  explicit BrowserUi(Bridge& bridge);

  MsgResult messageBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title) override;
  std::string openFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                             std::string_view initialDirectory) override;
  std::string saveFileDialog(std::string_view title, const std::vector<FileFilter>& filters,
                             std::string_view initialDirectory, std::string_view defaultName) override;
  std::string browseFolder(std::string_view title, std::string_view startDirectory) override;
  bool editList(std::string_view title, std::vector<ListEditorRow>& rows) override;

 private:
  Bridge& bridge_;
};

// The first `maxCharacters` UTF-8 characters of a text (never half of one).
std::string cutUtf8(std::string_view text, size_t maxCharacters);

}  // namespace tvk
