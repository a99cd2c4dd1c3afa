// One libFuzzer entry point per check; the build names the check and the target.
#include "fuzz_checks.h"

namespace discstart {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AbortOnProblems(DISCSTART_FUZZ_CHECK(FileBytes(data, size)), DISCSTART_FUZZ_TARGET);
    return 0;
}

}  // namespace discstart
