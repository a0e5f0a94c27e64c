// Every target reads files as Lumora does: its profile is selected once,
// before the first input, as the program's main selects it.
#include "ProgramProfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ProgramProfile::select(ProgramProfile::lumora());
  return 0;
}
