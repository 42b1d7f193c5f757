// The link-server login page and the root login dialog offscreen: the checks before the query,
// the query's page numbers and failure, and typed credentials that would not survive the system
// code page.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "gui/dialogs/dlg_login_root.h"
#include "gui/pages/sub_login.h"
#include "gui/support/page_test.h"

namespace orv::test {

using namespace gui;

namespace {

struct QueryCall {
  std::string host, port, id, password;
  int page = 0;
};

class LoginPage : public PageTest<CSubLogin> {
 protected:
  LoginPage() {
    page.Wire(&sink, nullptr, &services);  // as in the window: this page has no session record
    page.SetLinkServerHost("link.lab");
    page.SetQuery([this](const std::string& host, const std::string& port, const std::string& id,
                         const std::string& password, int number) {
      queries.push_back({host, port, id, password, number});
      return answer;
    });
  }
  void Fill(const QString& id, const QString& password) {
    page.idEdit()->setText(id);
    page.passwordEdit()->setText(password);
  }

  std::vector<QueryCall> queries;
  std::optional<std::vector<LinkServerCameraEntry>> answer = std::vector<LinkServerCameraEntry>(3);
};

TEST_F(LoginPage, EmptyFieldsWarnAndSendNothing) {
  Fill("user", "");
  page.nextButton()->click();
  Fill("", "secret");
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 2u);
  EXPECT_EQ(fakes.prompter.shown[0].request.icon, MessageIcon::Warning);
  EXPECT_TRUE(fakes.prompter.shown[0].request.caption.isEmpty());
  EXPECT_EQ(fakes.prompter.LastText(), "Please enter both the ID and the password.");
  EXPECT_TRUE(queries.empty());
  EXPECT_EQ(fakes.calls.calls, 0);
}

TEST_F(LoginPage, TheLoginTypeChoosesThePageOnPortEighty) {
  Fill("user", "secret");
  page.nextButton()->click();
  page.loginType()->setCurrentIndex(1);
  page.nextButton()->click();
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[0].page, 3);
  EXPECT_EQ(queries[1].page, 2);
  for (const QueryCall& q : queries) {
    EXPECT_EQ(q.host, "link.lab");
    EXPECT_EQ(q.port, "80");
    EXPECT_EQ(q.id, "user");
    EXPECT_EQ(q.password, "secret");
  }
  EXPECT_EQ(page.cameras().size(), 3u);
  EXPECT_EQ(sink.posted, (std::vector<int>{13, 13}));
}

TEST_F(LoginPage, AFailedQueryWarnsAndStaysWithTheOldList) {
  Fill("user", "secret");
  page.nextButton()->click();
  ASSERT_EQ(page.cameras().size(), 3u);
  answer.reset();
  fakes.calls.deferred = true;
  page.nextButton()->click();
  EXPECT_TRUE(sink.busy) << "no second query while one runs";
  page.nextButton()->click();
  EXPECT_EQ(sink.pageWorks, 2) << "the second click started nothing";
  fakes.calls.RunPending();
  EXPECT_FALSE(sink.busy);
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Warning);
  EXPECT_TRUE(fakes.prompter.LastText().startsWith("The link server could not be reached"));
  EXPECT_EQ(sink.posted, std::vector<int>{13}) << "no step for the failed query";

  answer = std::vector<LinkServerCameraEntry>{};
  page.nextButton()->click();
  fakes.calls.RunPending();
  EXPECT_TRUE(page.cameras().empty()) << "the count is the list actually received";
  EXPECT_EQ(sink.posted, (std::vector<int>{13, 13}));
}

TEST_F(LoginPage, CredentialsThatDoNotFitTheCodePageAreRefused) {
  CodePageScope western(kCodePageWestern);
  Fill(QStringLiteral("\u5e33\u865f"), "secret");  // no such characters in the code page
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Stop);
  EXPECT_TRUE(fakes.prompter.LastText().startsWith("The ID or the password is too long"));

  CodePageScope utf8(kCodePageUtf8);
  Fill("user", QString(11, QChar(0x5bc6)));  // 11 characters, 33 bytes
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.shown.size(), 2u);
  EXPECT_TRUE(queries.empty());
  Fill("user", QString(10, QChar(0x5bc6)));
  page.nextButton()->click();
  ASSERT_EQ(queries.size(), 1u);
  EXPECT_EQ(queries[0].password.size(), 30u);
}

TEST_F(LoginPage, ALanguageChangeRefillsTheTypesAndKeepsTheFields) {
  Fill("user", "secret");
  page.loginType()->setCurrentIndex(1);
  const i18n::LanguagePack chinese = Pack("CHT.ini");
  page.LoadTexts(chinese);
  EXPECT_EQ(page.loginType()->count(), 2);
  EXPECT_EQ(page.loginType()->currentIndex(), 0);
  EXPECT_EQ(page.loginType()->itemText(1).toStdString(), chinese.Utf8("LoginPage", "UserLogin"));
  EXPECT_EQ(page.idEdit()->text(), "user");
  EXPECT_EQ(page.passwordEdit()->text(), "secret");
  EXPECT_EQ(page.idEdit()->accessibleName().toStdString(), chinese.Utf8("LoginPage", "ID"));
  page.backButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{2});
}

class RootDialog : public ::testing::Test {
 protected:
  i18n::LanguagePack pack = Pack("ENG.ini");
  ScriptedPrompter prompter;
};

TEST_F(RootDialog, ShowsRootReadOnlyAndMasksThePassword) {
  CDlgLoginRoot dialog(pack, &prompter, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Login root");
  EXPECT_EQ(dialog.userEdit()->text(), "root");
  EXPECT_TRUE(dialog.userEdit()->isReadOnly());
  EXPECT_EQ(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(dialog.passwordEdit()->accessibleName(), "Password:");
}

TEST_F(RootDialog, CancelGivesRootAndAnEmptyPassword) {
  CDlgLoginRoot dialog(pack, &prompter, nullptr);
  dialog.show();
  dialog.passwordEdit()->setText("typed");
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.QDialog::result(), QDialog::Rejected);
  EXPECT_EQ(dialog.result().userName, "root");
  EXPECT_TRUE(dialog.result().password.isEmpty());
}

TEST_F(RootDialog, EnterAcceptsAFittingPassword) {
  CDlgLoginRoot dialog(pack, &prompter, nullptr);
  dialog.show();
  dialog.passwordEdit()->setText("s3cret");
  QTest::keyClick(dialog.passwordEdit(), Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result().userName, "root");
  EXPECT_EQ(dialog.result().password, "s3cret");
}

TEST_F(RootDialog, APasswordThatWouldBeCutOrChangedKeepsTheDialogOpen) {
  CodePageScope western(kCodePageWestern);
  CDlgLoginRoot dialog(pack, &prompter, nullptr);
  dialog.show();
  dialog.passwordEdit()->setText(QString(64, 'x'));
  dialog.okButton()->click();
  EXPECT_TRUE(dialog.isVisible());
  dialog.passwordEdit()->setText(QStringLiteral("\u5bc6\u78bc"));
  dialog.okButton()->click();
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].request.icon, MessageIcon::Stop);
  EXPECT_TRUE(prompter.LastText().startsWith("The password is too long"));
  dialog.passwordEdit()->setText(QString(63, 'x'));
  dialog.okButton()->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result().password, QString(63, 'x'));
}

}  // namespace
}  // namespace orv::test
