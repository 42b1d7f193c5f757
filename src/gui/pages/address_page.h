#pragma once
// The manual setup's address pages, wired and wireless: DHCP or a fixed address with mask, router
// and two DNS servers. One page class; a view says what tells the two apart.

#include "core/app/address_rules.h"
#include "core/app/navigation.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QRadioButton;

namespace orv::gui {

class CAddressFields;

// What differs between the wired and the wireless page.
struct AddressPageView {
  const char* objectName;
  const char* section;      // the pack section of the page's texts
  const char* titleKey;     // the title's key in that section
  const char* dhcpCaption;  // the buttons' captions until a pack is loaded
  const char* fixedCaption;
  AddressSet set;  // which of the record's address sets the page loads and stores
  int backStep;
  // Which step Next posts once the set is stored, or that it asks first (the section's Message1)
  // and then posts what answer() gives (null when the page never asks).
  nav::Decision (*next)(const SessionRecord& s);
  int (*answer)(SessionRecord& s, bool yes);
  // A fixed record enables the fields; otherwise they keep their state (after a DHCP visit they
  // stay disabled until Fixed is clicked).
  bool fixedEnablesFields;
};

class CAddressPage : public CSubPage {
  Q_OBJECT
 public:
  CAddressPage(const AddressPageView& view, QWidget* parent);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  QRadioButton* dhcpButton() const { return m_dhcp; }
  QRadioButton* fixedButton() const { return m_fixed; }
  CAddressFields* fields() const { return m_fields; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnNext();

  const AddressPageView& m_view;
  PageFrame m_frame;
  QRadioButton* m_dhcp;
  QRadioButton* m_fixed;
  CAddressFields* m_fields;
  QString m_question;
};

// The wired address page (step 8).
class CSubLANIP : public CAddressPage {
  Q_OBJECT
 public:
  explicit CSubLANIP(QWidget* parent = nullptr);
};

// The wireless address page (step 9).
class CSubWLANIP : public CAddressPage {
  Q_OBJECT
 public:
  explicit CSubWLANIP(QWidget* parent = nullptr);
};

}  // namespace orv::gui
