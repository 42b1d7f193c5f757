#pragma once
// A four-octet IPv4 address field: one line edit typed with dots, each octet 0-255. It is named by
// its label, so screen readers, tests and the lab walk find it by the label's text.

#include <QLineEdit>
#include <cstdint>
#include <string>
#include <string_view>

class QLabel;

namespace orv::gui {

class CIpv4Edit : public QLineEdit {
  Q_OBJECT
 public:
  explicit CIpv4Edit(QWidget* parent = nullptr);

  // Loads a record text: a dotted quad shows as that address, anything else (empty text
  // included) leaves the field blank. Not a user edit: addressEdited is not emitted.
  void SetAddressText(std::string_view recordText);
  // What the field holds as the record keeps it, "%d.%d.%d.%d"; blank octets read as 0.
  std::string AddressText() const;
  // The same as a value in network byte order (first octet first in memory).
  std::uint32_t Address() const;

  // The label that names the field: its buddy and the field's accessible name. Call again after
  // the label's text changed (a language change).
  void SetLabel(QLabel* label);

 signals:
  // The user changed the text (typing, pasting, deleting); loading never emits it.
  void addressEdited();
};

}  // namespace orv::gui
