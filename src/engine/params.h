// The command line turned into the ParameterMap.
#pragma once
#include <string>
#include <vector>

#include "engine/engine.h"

namespace orv {

// Value of a switch given without a value.
inline const std::string kNoValue = "\x02";

// Fills map from the arguments (program name excluded): "/x", "-x" and "+x"
// are switches taking the next non-switch argument as value; other arguments
// are stored under "*no_switch_" + their index.
void parseCommandLine(const std::vector<std::string>& args, ParameterMap& map);
// True when an argument is a switch (starts with "/", "-" or "+"); an
// argument of the form "/a/b" is a path, not a switch.
bool isSwitch(const std::string& arg);

}  // namespace orv
