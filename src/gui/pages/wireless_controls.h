#pragma once
// What the two wireless pages (the manual one and the access-point list) share: rows of labelled
// fields, the WEP key controls, and the warning their Next gives for each problem.

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "core/app/wireless_rules.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace orv::i18n {
class LanguagePack;
}

namespace orv::gui {

struct FieldRow {
  QLabel* label;
  QWidget* field;
  const char* name;  // the label's text until the pack's
};
// Adds the rows to grid from row on, labels at column and fields beside them; each label names
// its field. Returns the row after the last.
int AddFieldRows(QGridLayout* grid, int row, int column, const std::vector<FieldRow>& rows);

// Authentication, key length, key format, default key and the WEP key, each with its label.
class WepControls {
 public:
  // How the page words and orders them.
  struct Look {
    QStringList lengths;  // 64 and 128 bits
    QStringList numbers;  // key 1 to 4
    bool formatAboveLength;
  };
  WepControls(QWidget* parent, const Look& look);
  WepControls(const WepControls&) = delete;
  WepControls& operator=(const WepControls&) = delete;

  // The five rows, as AddFieldRows adds them.
  int AddRows(QGridLayout* grid, int row, int column) const;
  // The fields in their rows' order, for the page's tab order.
  std::vector<QWidget*> fields() const;
  // The labels' texts from the page's pack section (the keys are the same on both pages).
  void LoadTexts(const i18n::LanguagePack& pack, const char* section);
  // Selects without running user handlers; the key's typing limit follows.
  void Select(int authMode, int keyFormat, int keyLength, int keyNumber);
  void SetEnabled(bool on);
  // The key's typing limit follows the chosen format and length.
  void UpdateKeyLimit();
  // The four choices into a page's Next input.
  template <typename Input>
  void ReadChoices(Input& in) const;

  QComboBox* authList() const { return m_auth; }
  QComboBox* keyLengthList() const { return m_keyLength; }
  QComboBox* keyFormatList() const { return m_keyFormat; }
  QComboBox* keyNumberList() const { return m_keyNumber; }
  QLineEdit* keyEdit() const { return m_key; }

 private:
  struct Labelled {
    FieldRow row;
    const char* key;  // in the page's pack section
  };
  // In the page's order.
  std::array<Labelled, 5> Rows() const;

  bool m_formatAboveLength;
  QLabel* m_authLabel;
  QComboBox* m_auth;
  QLabel* m_keyLengthLabel;
  QComboBox* m_keyLength;
  QLabel* m_keyFormatLabel;
  QComboBox* m_keyFormat;
  QLabel* m_keyNumberLabel;
  QComboBox* m_keyNumber;
  QLabel* m_keyLabel;
  QLineEdit* m_key;
};

template <typename Input>
void WepControls::ReadChoices(Input& in) const {
  in.authMode = m_auth->currentIndex();
  in.keyLength = m_keyLength->currentIndex();
  in.keyFormat = m_keyFormat->currentIndex();
  in.keyNumber = m_keyNumber->currentIndex();
}

// The warnings a wireless page's Next gives, one per problem, from the page's own pack keys.
class WirelessWarnings {
 public:
  // keys: for an empty WEP key, a WEP key that is not HEX, a WEP key of the wrong length, an
  // empty WPA key, and a text the camera cannot store.
  void Load(const i18n::LanguagePack& pack, const char* section,
            const std::array<const char*, 5>& keys);
  // The warning for a problem (empty for none).
  QString For(wireless::Problem problem) const;

 private:
  std::array<QString, 5> m_texts;
};

}  // namespace orv::gui
