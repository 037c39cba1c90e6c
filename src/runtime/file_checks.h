// The checks every platform's file operations make before they reach the
// platform, kept in one place.
#pragma once

#include <string>
#include <string_view>

#include "runtime/files.h"

// False when the record cannot take part: an error is pending (the
// operation does nothing), or the file is not open (error 103 is stored).
bool ReadyForUse(const FileRecord& file);

// The path handed to the platform: the first 255 characters of the name.
// A NUL byte would silently cut the name short and reach another file, so
// such a name stores error 123 and gives false.
bool SignificantPath(std::string_view name, std::string& path);
