#include "common/OrderedJobs.h"

namespace kel {

int DefaultJobCount() {
    unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

}  // namespace kel
