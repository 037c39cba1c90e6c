// What every platform's file operations share: the checks they make before
// they reach the platform, and the one step of closing that is the
// platform's own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/files.h"

// False when the record cannot take part: an error is pending (the
// operation does nothing), or the file is not open (error 103 is stored).
bool ReadyForUse(const FileRecord& file);

// The path handed to the platform: the name itself. A name is never cut
// short, since the shorter name would reach a file the user did not name:
// one of more than 255 characters stores error 206 (name too long, on
// every platform) and one holding a NUL byte error 123; both give false.
bool PathForName(std::string_view name, std::string& path);

// Gives the handle back to the platform; what that answers is not asked.
void ReleaseHandle(intptr_t handle);
