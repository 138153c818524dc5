// Large texts take their blocks from the general heap on Windows.
#include "platform/LargeTextMemory.h"

namespace mireka {

void UseHugePagesForLargeTexts() {}

} // namespace mireka
