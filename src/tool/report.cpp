#include "tool/report.h"

#include <cstring>

#include "tool/report_format.h"
#include "tool/report_stream.h"
#include "tool/run_settings.h"

namespace {

int positionDigits = kShortestPositionDigits;
const ColumnText* columns = nullptr;

constexpr size_t kLongestFileLine =
    kLongestLead + kMostFiles * kFileColumnLength + kLineEnd.size();

// Away from a character device the steps change nothing that can be seen,
// so a line is put together whole and appended in one piece.
void WriteWholeLine(std::string_view lead, const uint8_t* bytes, int count) {
  char line[kLongestFileLine];
  std::memcpy(line, lead.data(), lead.size());
  char* at = line + lead.size();
  for (int k = 0; k < count; ++k) {
    std::memcpy(at, columns[bytes[k]].text, kFileColumnLength);
    at += kFileColumnLength;
  }
  std::memcpy(at, kLineEnd.data(), kLineEnd.size());
  at += kLineEnd.size();
  AppendToReport(std::string_view(line, static_cast<size_t>(at - line)));
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
  char lead[kLongestLead];
  size_t leadLength =
      FormatLead(static_cast<uint64_t>(position), positionDigits, lead);
  std::string_view leadText(lead, leadLength);
  if (reportStream.file.characterDevice) {
    WriteLineInSteps(leadText, bytes, count);
  } else {
    WriteWholeLine(leadText, bytes, count);
  }
}

void CloseReport() { CloseReportStream(); }
