#pragma once
// Making the folder that files for the user go into.

#include <string>
#include <system_error>

namespace orv {

// Creates the folder `path` (UTF-8) and any missing parents. Succeeds when the
// folder exists afterwards, made now or before; returns the cause of a failure
// (a part of the path is a file, no rights), or an empty error code. Long
// paths (over MAX_PATH on Windows) and any characters work.
std::error_code CreateFolders(const std::string& path);

}  // namespace orv
