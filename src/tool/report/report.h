// The difference report: one header line naming the files, then one line
// per selected position.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Opens the report under its name: the empty name is standard output,
// "con" the terminal, every other name a file created afresh. Its values
// are width bytes, read in the byte order given, integers or (real) IEEE
// 754 binary32 or binary64 numbers.
void OpenReport(std::string_view name, int width, bool bigEndian, bool real);

// The header line. largestPosition (shortest length - 1) fixes how many
// digits every position of this report gets.
void WriteReportHeader(const std::string* names, int count,
                       int64_t largestPosition);

// One line: the position and the value of every file, in file order: its
// width bytes as they stand in the file, file after file.
void WriteDifferenceLine(int64_t position, const uint8_t* bytes, int count);

// Hands over what is still buffered and releases the destination.
void CloseReport();
