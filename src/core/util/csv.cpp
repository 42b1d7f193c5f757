#include "core/util/csv.h"

namespace orv {

std::string CsvField(std::string_view text) {
  std::string value;
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
    value = "'";
  }
  value += text;
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string CsvRow(const std::vector<std::string>& fields) {
  std::string row;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) row += ',';
    row += CsvField(fields[i]);
  }
  row += "\r\n";
  return row;
}

bool ParseCsv(std::string_view text, std::vector<std::vector<std::string>>& rows,
              std::size_t* badLine, std::vector<std::size_t>* rowLines) {
  rows.clear();
  if (rowLines) rowLines->clear();
  std::vector<std::string> row;
  std::string field;
  std::size_t line = 1;
  std::size_t quoteLine = 0;
  std::size_t rowLine = 1;
  bool quoted = false;
  bool wasQuoted = false;  // the field's closing quote has been read
  const auto fail = [&](std::size_t at) {
    if (badLine) *badLine = at;
    return false;
  };
  const auto endRow = [&] {
    row.push_back(std::move(field));
    field.clear();
    wasQuoted = false;
    // A blank line is no row.
    if (!(row.size() == 1 && row.front().empty())) {
      rows.push_back(std::move(row));
      if (rowLines) rowLines->push_back(rowLine);
    }
    row.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
          wasQuoted = true;
        }
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
      wasQuoted = false;
    } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      if (c == '\r') ++i;
      endRow();
      ++line;
      rowLine = line;
    } else if (c == '"') {
      if (!field.empty() || wasQuoted) return fail(line);
      quoted = true;
      quoteLine = line;
    } else {
      if (wasQuoted) return fail(line);
      field += c;
    }
  }
  if (quoted) return fail(quoteLine);
  if (!field.empty() || !row.empty() || wasQuoted) endRow();
  return true;
}

}  // namespace orv
