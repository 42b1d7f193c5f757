// INI reader: any bytes parse, an untouched document writes back byte for byte, a written key
// reads back, and cut values fit their buffers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/i18n/ini_file.h"
#include "core/i18n/unicode_text.h"
#include "core/platform/codepage.h"

namespace {

constexpr int kCodePages[] = {orv::kCodePageWestern,
                              orv::kCodePageTraditionalChinese,
                              orv::kCodePageSimplifiedChinese,
                              orv::kCodePageJapanese,
                              orv::kCodePageKorean,
                              orv::kCodePageUtf8};

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orv::i18n;
  if (size == 0) {
    Check(!IniDocument::Parse({}, orv::kCodePageWestern).Find("Common", "BtnNext"));
    return 0;
  }
  // The first byte picks the code page, the rest is the file.
  const int codePage = kCodePages[data[0] % std::size(kCodePages)];
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  IniDocument doc = IniDocument::Parse(bytes, codePage);
  std::string expected(bytes);
  if (doc.encoding() == IniEncoding::Utf16Le && expected.size() % 2 != 0) expected.pop_back();
  Check(doc.Serialize() == expected);

  for (std::string_view section : {"Common", "SearchPage", "DefaultLang", ""}) {
    for (std::string_view key : {"BtnNext", "Note", "LangFile", ""}) {
      if (const auto value = doc.Find(section, key)) {
        for (std::size_t chars : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
          const std::string cut = CutToBuffer(*value, chars);
          Check(cut.size() <= value->size());
          Check(Utf16Length(cut) + 1 <= (chars == 0 ? 1 : chars));
        }
      }
    }
  }

  doc.Set("DefaultLang", "LangFile", "ENG.ini");
  Check(doc.Find("defaultlang", "langfile") == std::string("ENG.ini"));
  const IniDocument again = IniDocument::Parse(doc.Serialize(), codePage);
  Check(again.Find("DefaultLang", "LangFile") == std::string("ENG.ini"));
  Check(again.encoding() == doc.encoding());
  return 0;
}
