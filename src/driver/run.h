// The run between reading the arguments and writing the report.
#pragma once

#include "driver/command_line.h"

// Sets referenceTimestamp, appends the reference event, then every forward anniversary.
void collectEvents(const referenceArguments& args);
