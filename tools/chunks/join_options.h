#pragma once

#include <string>

#include "tools/chunks/segment_join.h"
#include "tools/common/options.h"

// The command line of quorvane-join, with its help text: OUTPUT as given
// (ClassifyOutput reads it into the request), the segments and the flags.
void DefineJoinOptions(CLI::App& app, JoinRequest& request, std::string& output);
