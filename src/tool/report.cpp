#include "tool/report.h"

#include "tool/report_format.h"
#include "tool/report_stream.h"
#include "tool/run_settings.h"

namespace {

int positionDigits = kShortestPositionDigits;
const ColumnText* columns = nullptr;  // as the destination shows them
bool wholeLines = false;              // away from a character device

// On a character device each line goes out in its write steps, as it is
// found; with UTF-8 the columns differ in length.
void WriteLineInSteps(std::string_view lead, const uint8_t* bytes, int count) {
  AppendToReport(lead);
  EndReportStep();
  for (int k = 0; k < count; ++k) {
    const ColumnText& column = columns[bytes[k]];
    AppendToReport(std::string_view(column.text, column.length));
    EndReportStep();
  }
  AppendToReport(kLineEnd);
  EndReportStep();
}

}  // namespace

void OpenReport(std::string_view name) {
  OpenReportStream(name);
  columns = ColumnTexts(ReportShowsUtf8());
  wholeLines = !ReportGoesToDevice();
  positionDigits = kShortestPositionDigits;
}

void WriteReportHeader(const std::string* names, int count,
                       int64_t largestPosition) {
  positionDigits = PositionDigits(largestPosition);
  const bool utf8 = ReportShowsUtf8();
  AppendToReport(HeaderLead(positionDigits));
  EndReportStep();
  for (int k = 0; k < count; ++k) {
    AppendToReport(SeparatorText(utf8));
    AppendToReport(HeaderNameField(names[k], utf8));
    EndReportStep();
  }
  AppendToReport(kLineEnd);
  EndReportStep();
}

void WriteDifferenceLine(int64_t position, const uint8_t* bytes, int count) {
  // Elsewhere the steps change nothing that can be seen, so the line is
  // put together whole, in the report's own bytes, straight into the buffer.
  if (wholeLines) {
    char* room = ReserveInReport(DifferenceLineRoom(positionDigits, count));
    CommitToReport(FormatDifferenceLine(static_cast<uint64_t>(position), positionDigits, bytes, count, room));
    return;
  }
  char lead[kLongestLead];
  const size_t leadLength = FormatLead(static_cast<uint64_t>(position), positionDigits, lead);
  WriteLineInSteps(std::string_view(lead, leadLength), bytes, count);
}

void CloseReport() { CloseReportStream(); }
