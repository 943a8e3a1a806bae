#include "support/TestModel.h"

namespace vxtest {

vx::CModel& testModel() {
    static vx::CModel model;
    return model;
}

} // namespace vxtest
