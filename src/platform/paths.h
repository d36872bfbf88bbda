// Absolute paths for what a run keeps: a later change of the current folder
// must not move a log, a journal or the actions base.
#pragma once
#include <string>

namespace orv::fs {

// path made absolute against the current folder (Windows: GetFullPathNameW,
// which also settles "/", "." and ".."); empty stays empty. A path that cannot
// be resolved is returned as it is.
std::string absolutePath(const std::string& path);

}  // namespace orv::fs
