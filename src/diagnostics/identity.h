// Who rondelo is: the texts its version, its calendars and its self-test name it by.
#pragma once

#include <string>

namespace rondelo {

extern const std::string description;
extern const std::string author;
extern const std::string version;  // the project's version, as the package has it
extern const std::string email;

}  // namespace rondelo
