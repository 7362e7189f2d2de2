#include "package/SingleExe.h"

namespace velvane::mMain {

// Self-contained copies are not written yet.
void MakeSingleExe(bool) {}

}  // namespace velvane::mMain
