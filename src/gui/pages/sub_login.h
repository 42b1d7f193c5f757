#pragma once
// The link-server login page: an account's ID and password, and the query that lists the cameras
// registered for it.

#include <string>
#include <vector>

#include "core/camera_http/requests.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"
#include "gui/widgets/xbutton_xp.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orv::gui {

class CSubLogin : public CSubPage {
  Q_OBJECT
 public:
  static constexpr int kFieldChars = 32;  // typing limit of ID and password
  static constexpr std::size_t kFieldBytes = 32;

  explicit CSubLogin(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;

  void SetLinkServerHost(std::string host);
  // The list the last successful query returned, for the link-server page.
  const std::vector<LinkServerCameraEntry>& cameras() const { return m_cameras; }

  // The query itself; tests replace it (host, port, id, password, page). Unset: the link server's,
  // given up when the window closes.
  using Query = std::function<std::optional<std::vector<LinkServerCameraEntry>>(
      const std::string&, const std::string&, const std::string&, const std::string&, int)>;
  void SetQuery(Query query) { m_query = std::move(query); }

  QComboBox* loginType() const { return m_type; }
  QLineEdit* idEdit() const { return m_id; }
  QLineEdit* passwordEdit() const { return m_password; }
  QPushButton* nextButton() const { return m_frame.next; }
  QPushButton* backButton() const { return m_frame.back; }

 private:
  void OnNext();

  std::string m_host;
  std::vector<LinkServerCameraEntry> m_cameras;
  Query m_query;
  QString m_emptyMessage;
  QString m_badTextMessage;
  QString m_failedMessage;

  QLabel* m_note;
  QLabel* m_typeLabel;
  QComboBox* m_type;
  QLabel* m_idLabel;
  QLineEdit* m_id;
  QLabel* m_passwordLabel;
  QLineEdit* m_password;
  QPushButton* m_exit;
  PageFrame m_frame;
};

}  // namespace orv::gui
