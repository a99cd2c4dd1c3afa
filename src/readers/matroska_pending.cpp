#include "readers/container.h"

namespace discstart {

// Until the Matroska reader lands, a Matroska film is told by its kind and described by nothing.
void ReadMatroska(ByteFile&, const ByteWindow&, ContainerInfo&) {}

}  // namespace discstart
