#include "CommandErrorReport.h"

#include <glibmm/exception.h>
#include <glibmm/exceptionhandler.h>

#include <exception>
#include <iostream>
#include <new>

#include "MessageBox.h"

const char* const CommandErrorReport::title = "The command could not be finished";
const char* const CommandErrorReport::outOfMemory =
    "There is not enough memory to finish this command. Your work is kept.";

CommandErrorReport::CommandErrorReport(Gtk::Window* mainWindow)
    : mainWindow(mainWindow), handler(Glib::add_exception_handler(sigc::mem_fun(*this, &CommandErrorReport::report))) {}

CommandErrorReport::~CommandErrorReport() { handler.disconnect(); }

std::string CommandErrorReport::describeCurrentException() {
  const auto unexpected = [](const std::string& detail) {
    return "The command stopped on an unexpected error" + detail + ". Your work is kept.";
  };
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return outOfMemory;
  } catch (const std::exception& error) {
    return unexpected(std::string(": ") + error.what());
  } catch (const Glib::Exception& error) {
    return unexpected(": " + error.what().raw());
  } catch (...) {
    return unexpected(" of an unknown kind");
  }
}

void CommandErrorReport::report() {
  const std::string message = describeCurrentException();
  std::cerr << message << std::endl;
  if (reporting) return;
  reporting = true;
  try {
    runMessageBox(mainWindow, title, message, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
  } catch (...) {
    // Short of memory even for the message: standard error has it.
  }
  reporting = false;
}
