#include "MessageRecorder.h"

#include <gtkmm/messagedialog.h>

MessageRecorder::MessageRecorder()
    : answerer(
          sigc::mem_fun(*this, &MessageRecorder::onPoll), [] {}, 3600) {}

std::vector<std::string> MessageRecorder::take() {
  std::vector<std::string> taken;
  taken.swap(texts);
  return taken;
}

bool MessageRecorder::onPoll() {
  if (auto* message = DialogAnswerer::visible<Gtk::MessageDialog>()) {
    texts.push_back(message->property_secondary_text().get_value());
    message->response(Gtk::RESPONSE_OK);
  }
  return true;
}
