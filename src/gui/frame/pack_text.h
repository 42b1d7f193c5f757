#pragma once
// One text of the active pack for a widget: looked up with the buffer size the key manifest names
// for it (a longer value comes back cut), as UTF-8 turned into a QString.

#include <QString>
#include <string_view>

#include "core/i18n/language_pack.h"
#include "core/i18n/text_keys.h"

namespace orv::gui {

inline QString PackText(const i18n::LanguagePack& pack, std::string_view section,
                        std::string_view key) {
  std::size_t size = i18n::TextBufferFor(section, key);
  if (size == 0) size = i18n::kTextChars;
  return QString::fromStdString(pack.Utf8(section, key, size));
}

// A text the window template once held fixed: the pack's when it has one, else the template's,
// so that a pack written before the key existed still shows something.
inline QString PackTextOr(const i18n::LanguagePack& pack, std::string_view section,
                          std::string_view key, const QString& templateText) {
  const QString text = PackText(pack, section, key);
  return text.isEmpty() ? templateText : text;
}

}  // namespace orv::gui
