#pragma once
// The fixture of a single page's tests: the page wired to a recording step sink, a record and the
// scripted services, with the English pack's texts loaded.

#include <gtest/gtest.h>

#include "core/model/session_record.h"
#include "gui/frame/ui_services.h"
#include "gui/support/fake_ui_services.h"
#include "gui/support/page_fixture.h"
#include "gui/support/recording_sink.h"

namespace orv::gui::test {

template <typename Page>
class PageTest : public ::testing::Test {
 protected:
  PageTest() {
    services = fakes.services();
    page.Wire(&sink, &session, &services);
    page.LoadTexts(pack);
  }
  i18n::LanguagePack pack = Pack("ENG.ini");
  FakeServices fakes;
  UiServices services;
  SessionRecord session;
  RecordingSink sink;
  Page page;
};

}  // namespace orv::gui::test
