#pragma once
// The page table: the 20 pages made once, in page-index order, into the page area. This is the one
// place that knows every page class; the window talks to the few pages below by name.

namespace orv::i18n {
class LanguagePack;
}

namespace orv::gui {

class CSubFormCollection;
class CSubFirst;
class CSubLogin;
class CSubLinkSer;
class CSubAPScan;
class CSubWizardIP;
class CSubSetupFinish;
class CSubWPS;

// The pages the window hands lists, facts and found cameras to (owned by the page area).
struct PageTable {
  CSubFirst* home = nullptr;
  CSubLogin* linkServerLogin = nullptr;
  CSubLinkSer* linkServerList = nullptr;
  CSubAPScan* apList = nullptr;
  CSubWizardIP* wizardAddress = nullptr;
  CSubSetupFinish* finish = nullptr;
  CSubWPS* wps = nullptr;
};

// Makes every page and adds it to area at its page index.
PageTable CreatePages(CSubFormCollection& area);

// Every page's texts from pack, in the order the pages have always loaded them.
void LoadPageTexts(CSubFormCollection& area, const i18n::LanguagePack& pack);

}  // namespace orv::gui
