// The process-wide option block and its reset.
#include "base/Options.h"

#include <cstring>

namespace vx {

ConvOptions convOptions;
int16_t transducer[2] = {-1, -1};
char platformVersion[4] = "218";
uint16_t modalFlags = 0;
ModalValues modalValues;

void resetJobOptions() {
    static const ConvOptions kDefaults;
    convOptions = kDefaults;
    convOptions.capArbHeader.timeStamp = currentTimeStamp();
    transducer[0] = transducer[1] = -1;
    std::memcpy(platformVersion, "218", 4);
    modalFlags = 0;
    modalValues = ModalValues();
}

} // namespace vx
