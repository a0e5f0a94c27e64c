#include <iostream>

#include "ControllerFachade.h"
#include "ProgramProfile.h"
#include "ViewProfile.h"

int main(int argc, char** argv) {
  ProgramProfile::select(ProgramProfile::cavitra());
  ViewProfile::select(ViewProfile::cavitra());
  ControllerFachade controller;
  std::cout << "Starting program..." << std::endl;
  return controller.showMainWindow(argc, argv);
}
