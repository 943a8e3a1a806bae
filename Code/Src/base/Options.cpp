// The option block's reset.
#include "base/Options.h"

namespace vx {

void resetJobOptions(ConvOptions& options) {
    options = ConvOptions();
    options.listCapture.timeStamp = currentTimeStamp();
}

} // namespace vx
