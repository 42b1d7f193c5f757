#include "core/i18n/ini_file.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "core/i18n/unicode_text.h"
#include "core/platform/codepage.h"
#include "core/platform/file_save.h"

namespace orv::i18n {
namespace {

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string_view UpToLineBreak(std::string_view s) {
  return s.substr(0, s.find_first_of(std::string_view("\r\n\0", 3)));
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes, int codePage) {
  IniDocument doc(codePage);
  if (bytes.substr(0, 2) == kUtf16Bom) {
    doc.m_encoding = IniEncoding::Utf16Le;
    bytes.remove_prefix(2);
    if (bytes.size() % 2 != 0) bytes.remove_suffix(1);  // half a unit cannot be kept
    std::size_t start = 0;
    auto unit = [&](std::size_t i) {
      return static_cast<unsigned>(static_cast<unsigned char>(bytes[i]) |
                                   (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    std::size_t i = 0;
    while (i < bytes.size()) {
      const unsigned u = unit(i);
      if (u == '\n' || u == '\r') {
        Eol eol = u == '\n' ? Eol::Lf : Eol::Cr;
        std::size_t next = i + 2;
        if (u == '\r' && next < bytes.size() && unit(next) == '\n') {
          eol = Eol::CrLf;
          next += 2;
        }
        doc.AddLine(bytes.substr(start, i - start), eol);
        start = i = next;
      } else {
        i += 2;
      }
    }
    if (start < bytes.size()) doc.AddLine(bytes.substr(start), Eol::None);
    return doc;
  }
  if (bytes.substr(0, 3) == kUtf8Bom) {
    doc.m_encoding = IniEncoding::Utf8Bom;
    bytes.remove_prefix(3);
  }
  // '\r' and '\n' never occur inside a character of any supported 8-bit code page.
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (c == '\n' || c == '\r') {
      Eol eol = c == '\n' ? Eol::Lf : Eol::Cr;
      std::size_t next = i + 1;
      if (c == '\r' && next < bytes.size() && bytes[next] == '\n') {
        eol = Eol::CrLf;
        ++next;
      }
      doc.AddLine(bytes.substr(start, i - start), eol);
      start = i = next;
    } else {
      ++i;
    }
  }
  if (start < bytes.size()) doc.AddLine(bytes.substr(start), Eol::None);
  return doc;
}

std::string IniDocument::Decode(std::string_view raw) const {
  switch (m_encoding) {
    case IniEncoding::Utf16Le:
      return Utf16LeToUtf8(raw);
    case IniEncoding::Utf8Bom:
      return CodePageToUtf8(raw, kCodePageUtf8);
    case IniEncoding::CodePage:
      break;
  }
  return CodePageToUtf8(raw, m_codePage != 0 ? m_codePage : SystemCodePage());
}

std::string IniDocument::Encode(std::string_view utf8) const {
  switch (m_encoding) {
    case IniEncoding::Utf16Le:
      return Utf8ToUtf16Le(utf8);
    case IniEncoding::Utf8Bom:
      return CodePageToUtf8(utf8, kCodePageUtf8);
    case IniEncoding::CodePage:
      break;
  }
  return Utf8ToCodePage(utf8, m_codePage != 0 ? m_codePage : SystemCodePage());
}

IniDocument::Line IniDocument::MakeLine(std::string_view text, Eol eol) const {
  Line line;
  line.eol = eol;
  std::string_view t = Trim(text);
  if (t.empty()) {
    line.kind = Kind::Blank;
  } else if (t.front() == '[') {
    t.remove_prefix(1);
    line.kind = Kind::Section;
    line.name = std::string(Trim(t.substr(0, t.find(']'))));
  } else if (const auto eq = t.find('='); eq != std::string_view::npos) {
    line.kind = Kind::Key;
    line.name = std::string(Trim(t.substr(0, eq)));
    std::string_view value = Trim(t.substr(eq + 1));
    // Texts end at a NUL, as they would in any fixed buffer.
    value = value.substr(0, value.find('\0'));
    line.value = std::string(value);
  }
  return line;
}

void IniDocument::AddLine(std::string_view raw, Eol eol) {
  Line line = MakeLine(Decode(raw), eol);
  line.raw = std::string(raw);
  m_lines.push_back(std::move(line));
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const Line& line : m_lines) {
    if (line.kind == Kind::Section) {
      inSection = NamesEqual(line.name, section);
    } else if (inSection && line.kind == Kind::Key && NamesEqual(line.name, key)) {
      return line.value;
    }
  }
  return std::nullopt;
}

IniDocument::Eol IniDocument::NewLineEol() const {
  for (const Line& line : m_lines) {
    if (line.eol != Eol::None) return line.eol;
  }
  return Eol::CrLf;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(UpToLineBreak(section));
  key = Trim(UpToLineBreak(key));
  value = Trim(UpToLineBreak(value));
  const Eol eol = NewLineEol();
  std::string text = std::string(key) + "=" + std::string(value);

  bool inSection = false;
  std::optional<std::size_t> header;  // the first section of that name
  for (Line& line : m_lines) {
    if (line.kind == Kind::Section) {
      inSection = NamesEqual(line.name, section);
      if (inSection && !header) header = static_cast<std::size_t>(&line - m_lines.data());
    } else if (inSection && line.kind == Kind::Key && NamesEqual(line.name, key)) {
      Line replaced = MakeLine(text, line.eol);
      replaced.raw = Encode(text);
      line = std::move(replaced);
      return;
    }
  }

  auto add = [&](std::size_t at, std::string_view lineText) {
    // The line before the new one must end, or the two would run together.
    if (at > 0 && m_lines[at - 1].eol == Eol::None) m_lines[at - 1].eol = eol;
    Line line = MakeLine(lineText, eol);
    line.raw = Encode(lineText);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  };
  if (header) {
    // After the section's last line that is not blank, so blank separators stay where they are.
    std::size_t insertAt = *header + 1;
    for (std::size_t i = insertAt; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
      if (m_lines[i].kind != Kind::Blank) insertAt = i + 1;
    }
    add(insertAt, text);
    return;
  }
  add(m_lines.size(), "[" + std::string(section) + "]");
  add(m_lines.size(), text);
}

std::string IniDocument::Serialize() const {
  std::string out;
  if (m_encoding == IniEncoding::Utf16Le) out += kUtf16Bom;
  if (m_encoding == IniEncoding::Utf8Bom) out += kUtf8Bom;
  const bool wide = m_encoding == IniEncoding::Utf16Le;
  for (const Line& line : m_lines) {
    out += line.raw;
    switch (line.eol) {
      case Eol::None:
        break;
      case Eol::Lf:
        out += wide ? std::string_view("\n\0", 2) : std::string_view("\n");
        break;
      case Eol::CrLf:
        out += wide ? std::string_view("\r\0\n\0", 4) : std::string_view("\r\n");
        break;
      case Eol::Cr:
        out += wide ? std::string_view("\r\0", 2) : std::string_view("\r");
        break;
    }
  }
  return out;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, bool* tooLarge) {
  if (tooLarge != nullptr) *tooLarge = false;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  while (in && bytes.size() <= kMaxIniFileBytes) {
    in.read(buffer, sizeof buffer);
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  if (bytes.size() > kMaxIniFileBytes) {
    bytes.resize(kMaxIniFileBytes);
    if (tooLarge != nullptr) *tooLarge = true;
  }
  return bytes;
}

IniDocument LoadIniFile(const std::filesystem::path& path, int codePage) {
  const auto bytes = ReadFileBytes(path);
  if (!bytes) return IniDocument(codePage);
  return IniDocument::Parse(*bytes, codePage);
}

IniDocument LoadIniFile(const std::filesystem::path& path) {
  return LoadIniFile(path, SystemCodePage());
}

bool SaveIniFile(const std::filesystem::path& path, const IniDocument& doc) {
  return ReplaceFileContents(path, doc.Serialize());
}

std::string CutToBuffer(std::string_view utf8, std::size_t bufferChars) {
  if (bufferChars == 0) return {};
  return std::string(utf8.substr(0, Utf8PrefixForUtf16Units(utf8, bufferChars - 1)));
}

ProfileText MakeProfileText(std::string_view utf8, std::size_t bufferChars) {
  ProfileText text;
  text.utf8 = CutToBuffer(utf8, bufferChars);
  text.local = Utf8ToLocal(text.utf8);
  return text;
}

ProfileText GetProfileText(const std::filesystem::path& path, std::string_view section,
                           std::string_view key, std::size_t bufferChars) {
  const auto value = LoadIniFile(path).Find(section, key);
  return MakeProfileText(value.value_or(std::string()), bufferChars);
}

std::string GetProfileString(const std::filesystem::path& path, std::string_view section,
                             std::string_view key, std::size_t bufferChars) {
  return GetProfileText(path, section, key, bufferChars).local;
}

bool WriteProfileString(const std::filesystem::path& path, std::string_view section,
                        std::string_view key, std::string_view valueUtf8) {
  bool tooLarge = false;
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  const auto bytes = ReadFileBytes(path, &tooLarge);
  if (tooLarge || (exists && !bytes)) return false;  // rewriting would lose what we could not read
  IniDocument doc =
      bytes ? IniDocument::Parse(*bytes, SystemCodePage()) : IniDocument(SystemCodePage());
  doc.Set(section, key, valueUtf8);
  return SaveIniFile(path, doc);
}

}  // namespace orv::i18n
