#pragma once
// The address pages' column of labelled IPv4 fields (address, mask, gateway, DNS servers).

#include <QWidget>
#include <vector>

#include "core/app/address_rules.h"

class QGridLayout;
class QLabel;
class QRadioButton;

namespace orv::gui {

class CIpv4Edit;
struct PageFrame;

class CAddressFields : public QWidget {
  Q_OBJECT
 public:
  // count is 5 (address, mask, gateway, DNS, second DNS) or 4 (without the second DNS).
  CAddressFields(int count, QWidget* parent = nullptr);

  // The labels' texts, in field order; each field is named by its label.
  void SetLabels(const std::vector<QString>& texts);
  // Loads the fields (signals of user edits are not emitted).
  void Load(const AddressFields& values);
  // The fields as the record keeps them; blank fields read 0.0.0.0, a missing second DNS "".
  AddressFields Read() const;
  void SetFieldsEnabled(bool enabled);

  int count() const { return static_cast<int>(m_edits.size()); }
  CIpv4Edit* field(int i) const { return m_edits.at(static_cast<std::size_t>(i)); }
  QLabel* label(int i) const { return m_labels.at(static_cast<std::size_t>(i)); }
  // The grid, for a page that adds a control beside a field (the wizard's Test button).
  QGridLayout* grid() const { return m_grid; }

 private:
  std::vector<QLabel*> m_labels;
  std::vector<CIpv4Edit*> m_edits;
  QGridLayout* m_grid;
};

// Lays out an address page in its frame: an optional note, the DHCP and fixed buttons (one group;
// neither is checked until a prepare or the user checks one), the fields below the fixed button,
// and the tab order as it reads: buttons, the first field, besideFirst (may be null: the button on
// the first field's row), the other fields, Back, Next.
void LayOutAddressPage(QWidget* page, const PageFrame& frame, QLabel* note, QRadioButton* dhcp,
                       QRadioButton* fixed, CAddressFields* fields, QWidget* besideFirst);

// Which of the two buttons is checked.
AddressMode CheckedAddressMode(const QRadioButton* dhcp, const QRadioButton* fixed);

}  // namespace orv::gui
