// The report stream: its destination, its buffer and when the buffer is
// handed to the platform.
#pragma once

#include <cstddef>
#include <string_view>

// Opens the destination; a failure is a run-time error stop.
void OpenReportStream(std::string_view name);

// A character device (a terminal, the console) gets every write step
// handed over as soon as it ends; everything else gets few large writes.
bool ReportGoesToDevice();

// A destination that shows UTF-8 (a Linux terminal, always a character
// device) is sent the characters that the report's bytes stand for.
bool ReportShowsUtf8();

// Appends a piece; a full buffer is handed over and the piece continues in
// the emptied buffer.
void AppendToReport(std::string_view piece);

// The way in for text written in place, away from a character device:
// room for up to most bytes (a few hundred at most) at the end of the
// buffer, which is handed over first when less is left. CommitToReport
// then takes the bytes actually written.
char* ReserveInReport(size_t most);
void CommitToReport(size_t used);

// Ends a write step: on a character device the buffer goes out at once.
void EndReportStep();

// Hands over what the buffer holds, then releases a file of its own.
void CloseReportStream();
