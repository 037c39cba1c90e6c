#include "tool/report.h"

#include <algorithm>

#include "tool/report_format.h"
#include "tool/report_stream.h"
#include "tool/run_settings.h"

namespace {

int positionDigits = kShortestPositionDigits;
const ColumnText* columns = nullptr;  // as the destination shows them
bool wholeLines = false;              // away from a character device
int valueWidth = 1;                   // bytes a value
bool bigEndian = false;
bool utf8 = false;

// Values wider than a byte, away from a character device: the line put
// together whole in the report's own bytes, each column formatted as it comes.
void WriteWholeValueLine(uint64_t position, const uint8_t* bytes, int count) {
  char* room = ReserveInReport(kLongestLead + static_cast<size_t>(count) * kLongestValueColumn + kLineEnd.size());
  char* at = room + FormatLead(position, positionDigits, room);
  for (int k = 0; k < count; ++k) at += FormatValueColumn(bytes + k * valueWidth, valueWidth, bigEndian, false, at);
  at = std::copy(kLineEnd.begin(), kLineEnd.end(), at);
  CommitToReport(static_cast<size_t>(at - room));
}

// On a character device each line goes out in its write steps, as it is
// found; with UTF-8 the columns differ in length.
void WriteLineInSteps(uint64_t position, const uint8_t* bytes, int count) {
  char piece[kLongestValueColumn > kLongestLead ? kLongestValueColumn : kLongestLead];
  AppendToReport(std::string_view(piece, FormatLead(position, positionDigits, piece)));
  EndReportStep();
  for (int k = 0; k < count; ++k) {
    if (valueWidth == 1) {
      const ColumnText& column = columns[bytes[k]];
      AppendToReport(std::string_view(column.text, column.length));
    } else {
      AppendToReport(std::string_view(piece, FormatValueColumn(bytes + k * valueWidth, valueWidth, bigEndian, utf8, piece)));
    }
    EndReportStep();
  }
  AppendToReport(kLineEnd);
  EndReportStep();
}

}  // namespace

void OpenReport(std::string_view name) {
  OpenReportStream(name);
  utf8 = ReportShowsUtf8();
  columns = ColumnTexts(utf8);
  wholeLines = !ReportGoesToDevice();
  valueWidth = runSettings.selection.width;
  bigEndian = runSettings.selection.bigEndian;
  positionDigits = kShortestPositionDigits;
}

void WriteReportHeader(const std::string* names, int count,
                       int64_t largestPosition) {
  positionDigits = PositionDigits(largestPosition);
  // The names stand over their columns, whatever the width of the values.
  const int nameField = ValueColumnWidth(valueWidth) - 2;
  AppendToReport(HeaderLead(positionDigits));
  EndReportStep();
  for (int k = 0; k < count; ++k) {
    AppendToReport(SeparatorText(utf8));
    AppendToReport(HeaderNameField(names[k], nameField, utf8));
    EndReportStep();
  }
  AppendToReport(kLineEnd);
  EndReportStep();
}

void WriteDifferenceLine(int64_t position, const uint8_t* bytes, int count) {
  const auto at = static_cast<uint64_t>(position);
  if (!wholeLines) {
    WriteLineInSteps(at, bytes, count);
  } else if (valueWidth != 1) {
    WriteWholeValueLine(at, bytes, count);
  } else {
    // Elsewhere the steps change nothing that can be seen, so the line is
    // put together whole, in the report's own bytes, straight into the buffer.
    char* room = ReserveInReport(DifferenceLineRoom(positionDigits, count));
    CommitToReport(FormatDifferenceLine(at, positionDigits, bytes, count, room));
  }
}

void CloseReport() { CloseReportStream(); }
