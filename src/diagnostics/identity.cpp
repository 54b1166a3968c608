// The program's identity strings.
#include "diagnostics/identity.h"

namespace rondelo {

const std::string description = "Quillotane generator";
const std::string author = "the rondelo authors";
const std::string version = RONDELO_VERSION;  // the CMake project's version
const std::string email = "rondelo@users.noreply.github.com";

}  // namespace rondelo
