#pragma once
// What every GoogleTest program of pages shares: one QApplication that lives from before the first
// test until after the last (and goes before the program's static objects do), and the shipped
// packs.

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "core/i18n/language_pack.h"

namespace orv::test {

class QtAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "orvantis_gui_test";
    static char* argv[] = {name, nullptr};
    m_app = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { m_app.reset(); }

 private:
  std::unique_ptr<QApplication> m_app;
};
inline ::testing::Environment* const kQtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

// A pack of the source tree's Language folder, e.g. "ENG.ini".
inline i18n::LanguagePack Pack(const char* name) {
  return i18n::LanguagePack(std::filesystem::path(ORVANTIS_SOURCE_DIR) / "Language" / name);
}

}  // namespace orv::test
