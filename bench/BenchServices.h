#pragma once
// What a benchmark's session works with: the program's library (which the
// benchmark fills), the boxes on the process's sink, settings in memory and
// no clipboard.
#include "app/SessionServices.h"
#include "kinetics/KineticsLibrary.h"

namespace kel::bench {

inline TSessionServices BenchServices() {
    static TCurrentThreadMessages messages;
    static MemorySettings settings;
    return {KineticsLibrary(), messages, settings};
}

}  // namespace kel::bench
