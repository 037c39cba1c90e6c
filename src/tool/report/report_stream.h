// The report stream: its destination, its buffer and when the buffer is
// handed to the platform.
#pragma once

#include <cstddef>
#include <string_view>

// Opens the destination; a failure is a run-time error stop.
void OpenReportStream(std::string_view name);

// A destination that shows UTF-8 (a Linux terminal) is sent the characters
// that the report's bytes stand for.
bool ReportShowsUtf8();

// The one way in: room for up to most bytes (some 15 KB at most, a header) at
// the end of the buffer, which is handed over first when less is left.
// CommitToReport then takes what was written there, as pieces that end at
// ends[0..count), counted from the room's start. A character device (a
// terminal, the console) gets each piece as soon as it ends, 256 bytes a
// write at most; everything else gets few large writes, since one system
// call per short piece would dominate the run time of a large report.
char* ReserveInReport(size_t most);
void CommitToReport(const size_t* ends, int count);

// Hands over what the buffer holds, then releases a file of its own.
void CloseReportStream();
