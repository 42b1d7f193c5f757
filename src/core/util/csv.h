#pragma once
// CSV as spreadsheets and scripts read it: RFC 4180 quoting, CRLF line ends. Texts that come from
// cameras are data, so one a spreadsheet would run as a formula is written as plain text.

#include <string>
#include <string_view>
#include <vector>

namespace orv {

// One field: quoted when it holds a comma, a quote, CR or LF (quotes doubled); a text beginning
// with '=', '+', '-', '@', TAB or CR gets a leading apostrophe first, which spreadsheets take as
// "this is text" and which a script can strip.
std::string CsvField(std::string_view text);

// The fields joined by commas, ending in CRLF.
std::string CsvRow(const std::vector<std::string>& fields);

// Splits a CSV document into rows of fields (RFC 4180: quoted fields may hold commas, doubled
// quotes and line breaks; CRLF or LF ends a row; blank lines are skipped). rowLines, when given,
// gets the 1-based line each row starts on. False, with the line of the fault in *badLine, for a
// quote inside an unquoted field or an unclosed quoted field.
bool ParseCsv(std::string_view text, std::vector<std::vector<std::string>>& rows,
              std::size_t* badLine, std::vector<std::size_t>* rowLines = nullptr);

}  // namespace orv
