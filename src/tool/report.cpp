#include "tool/report.h"

#include <cstring>

#include "tool/report_format.h"
#include "tool/report_stream.h"
#include "tool/run_settings.h"

namespace {

int positionDigits = kShortestPositionDigits;
const ColumnText* columns = nullptr;

// Away from a character device the steps change nothing that can be seen,
// so a line is put together whole: straight into the report's buffer while
// it has room, else appended as one piece that fills the buffer first.
void WriteWholeLine(uint64_t position, const uint8_t* bytes, int count) {
  if (char* room = ReportRoom(DifferenceLineRoom(positionDigits, count))) {
    CommitToReport(FormatDifferenceLine(position, positionDigits, bytes, count, columns, room));
    return;
  }
  char line[DifferenceLineRoom(kLongestPositionDigits, kMostFiles)];
  AppendToReport(std::string_view(
      line, FormatDifferenceLine(position, positionDigits, bytes, count, columns, line)));
}

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
  columns = ColumnTexts(reportStream.file.showsUtf8);
  positionDigits = kShortestPositionDigits;
}

void WriteReportHeader(const std::string* names, int count,
                       int64_t largestPosition) {
  positionDigits = PositionDigits(largestPosition);
  const bool utf8 = reportStream.file.showsUtf8;
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
  if (!reportStream.file.characterDevice) {
    WriteWholeLine(static_cast<uint64_t>(position), bytes, count);
    return;
  }
  char lead[kLongestLead];
  const size_t leadLength = FormatLead(static_cast<uint64_t>(position), positionDigits, lead);
  WriteLineInSteps(std::string_view(lead, leadLength), bytes, count);
}

void CloseReport() { CloseReportStream(); }
