// The targets that read files as Cavitra does select its profile once,
// before the first input, as the program's main selects it.
#include "ProgramProfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ProgramProfile::select(ProgramProfile::cavitra());
  return 0;
}
