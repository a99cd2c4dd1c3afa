#include <unistd.h>

#include "support/symbolic_link.h"

namespace discstart {

bool MakeSymbolicLink(const std::string& target, const std::string& link) {
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

}  // namespace discstart
