#include "report/report.h"

#include <algorithm>

#include "report/report_format.h"
#include "report/report_stream.h"
#include "shared/run_settings.h"

namespace {

LineFormat format;
int64_t startOffset = 0;
// A line's pieces, each a write step of its own on a character device:
// the lead, a column a file, the line end.
size_t pieceEnds[kMostFiles + 2];

}  // namespace

void OpenReport(const ReportOptions& options) {
  OpenReportStream(options.name);
  format = LineFormat{.form = options.form,
                      .width = options.width,
                      .bigEndian = options.bigEndian,
                      .real = options.real,
                      .utf8 = ReportShowsUtf8()};
  startOffset = options.startOffset;
}

void WriteReportHeader(const std::string* names, int count, int64_t largestPosition) {
  if (format.form != ReportForm::kTable) {
    // Names of 255 bytes at most, six a byte when escaped: some 15 KB at worst.
    const std::string header = FormHeader(format, names, count, startOffset);
    std::copy(header.begin(), header.end(), ReserveInReport(header.size()));
    pieceEnds[0] = header.size();
    CommitToReport(pieceEnds, 1);
    return;
  }
  format.digits = PositionDigits(largestPosition);
  // The names stand over their columns, whatever the width of the values.
  const int nameField = ValueColumnWidth(format.width, format.real) - 2;
  const std::string lead = HeaderLead(format.digits);
  const std::string_view separator = SeparatorText(format.utf8);
  std::string fields[kMostFiles];
  size_t most = lead.size() + kLineEnd.size();
  for (int k = 0; k < count; ++k) {
    fields[k] = HeaderNameField(names[k], nameField, format.utf8);
    most += separator.size() + fields[k].size();
  }
  char* const room = ReserveInReport(most);
  char* at = room;
  const auto ended = [&](int piece) { pieceEnds[piece] = static_cast<size_t>(at - room); };
  at = std::copy(lead.begin(), lead.end(), at);
  ended(0);
  for (int k = 0; k < count; ++k) {
    at = std::copy(separator.begin(), separator.end(), at);
    at = std::copy(fields[k].begin(), fields[k].end(), at);
    ended(k + 1);
  }
  at = std::copy(kLineEnd.begin(), kLineEnd.end(), at);
  ended(count + 1);
  CommitToReport(pieceEnds, count + 2);
}

void WriteDifferenceLine(int64_t position, const uint8_t* bytes, int count) {
  char* const room = ReserveInReport(LineRoom(count));
  FormatDifferenceLine(format, static_cast<uint64_t>(position), bytes, count, room, pieceEnds);
  CommitToReport(pieceEnds, count + 2);
}

void CloseReport() { CloseReportStream(); }
