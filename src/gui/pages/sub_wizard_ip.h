#pragma once
// The wizard address page, with the free addresses the read suggested.

#include <cstdint>
#include <vector>

#include "gui/app/page_frame.h"
#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubWizardIP : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubWizardIP(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;

  // Free addresses found by the last read (step 30), network byte order, highest first.
  void SetSuggestedAddresses(std::vector<std::uint32_t> list) { m_suggested = std::move(list); }
  const std::vector<std::uint32_t>& suggestedAddresses() const { return m_suggested; }

  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  QString m_question;
  std::vector<std::uint32_t> m_suggested;
};

}  // namespace orv::gui
