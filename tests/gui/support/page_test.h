#pragma once
// The fixture of a single page's tests: the page wired to a recording step sink, a record and the
// scripted services, with the English pack's texts loaded in a known code page.

#include <gtest/gtest.h>

#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "gui/frame/ui_services.h"
#include "gui/support/fake_ui_services.h"
#include "gui/support/page_fixture.h"
#include "gui/support/recording_sink.h"

namespace orv::test {

// Sets the process's code page for a scope and puts the old one back, so that no test leaks its
// code page into the next.
class CodePageScope {
 public:
  explicit CodePageScope(int codePage) : m_old(SystemCodePage()) { SetSystemCodePage(codePage); }
  ~CodePageScope() { SetSystemCodePage(m_old); }
  CodePageScope(const CodePageScope&) = delete;
  CodePageScope& operator=(const CodePageScope&) = delete;

 private:
  int m_old;
};

template <typename Page>
class PageTest : public ::testing::Test {
 protected:
  // The record's texts are in codePage for the whole test.
  explicit PageTest(int codePage = kCodePageUtf8) : codePage(codePage) {
    sink.session = &session;
    services = fakes.services();
    page.Wire(&sink, &session, &services);
    page.LoadTexts(pack);
  }
  // The last message box the page asked for.
  const gui::MessageRequest& LastMessage() const { return fakes.prompter.shown.back().request; }

  CodePageScope codePage;
  i18n::LanguagePack pack = Pack("ENG.ini");
  FakeServices fakes;
  gui::UiServices services;
  SessionRecord session;
  RecordingSink sink;
  Page page;
};

}  // namespace orv::test
