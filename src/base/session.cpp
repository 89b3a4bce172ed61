#include "base/session.h"

#include <stdexcept>

#include "base/ui.h"

namespace tvk {

Session::Session(std::shared_ptr<Ui> ui) : ui_(std::move(ui)) {
  if (!ui_) throw std::invalid_argument("a session needs a user interface");
}

Session::~Session() {
  // Later resources may lean on earlier ones (a catalogue on its connection).
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) resources_.erase(*it);
}

}  // namespace tvk
