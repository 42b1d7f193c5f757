#include "gui/window/page_table.h"

#include "core/app/navigation.h"
#include "gui/pages/address_page.h"
#include "gui/pages/sub_ap_scan.h"
#include "gui/pages/sub_choose.h"
#include "gui/pages/sub_first.h"
#include "gui/pages/sub_lan_isp.h"
#include "gui/pages/sub_link_ser.h"
#include "gui/pages/sub_login.h"
#include "gui/pages/sub_option.h"
#include "gui/pages/sub_pppoe.h"
#include "gui/pages/sub_search_net.h"
#include "gui/pages/sub_set_auto_param.h"
#include "gui/pages/sub_setup_finish.h"
#include "gui/pages/sub_show_pic.h"
#include "gui/pages/sub_system.h"
#include "gui/pages/sub_upnp.h"
#include "gui/pages/sub_wizard_ip.h"
#include "gui/pages/sub_wlan_ap.h"
#include "gui/pages/sub_wps.h"
#include "gui/pages/sub_wps_pic.h"
#include "gui/window/sub_form_collection.h"

namespace orv::gui {

PageTable CreatePages(CSubFormCollection& area) {
  PageTable t;
  t.home = new CSubFirst();
  t.linkServerLogin = new CSubLogin();
  t.linkServerList = new CSubLinkSer();
  t.apList = new CSubAPScan();
  t.wizardAddress = new CSubWizardIP();
  t.finish = new CSubSetupFinish();
  t.wps = new CSubWPS();
  CSubPage* pages[nav::kPageCount] = {t.home,
                                      new CSubSearchNet(),
                                      new CSubOption(),
                                      new CSubSystem(),
                                      new CSubShowPic(),
                                      new CSubLANISP(),
                                      new CSubLANIP(),
                                      new CSubWLANAP(),
                                      new CSubWLANIP(),
                                      new CSubUPnP(),
                                      t.apList,
                                      t.wps,
                                      new CSubSetAutoParam(),
                                      new CSubWPSPic(),
                                      new CSubChoose(),
                                      new CSubPPPoE(),
                                      t.wizardAddress,
                                      t.linkServerLogin,
                                      t.finish,
                                      t.linkServerList};
  for (CSubPage* p : pages) area.AddPage(p);
  return t;
}

void LoadPageTexts(CSubFormCollection& area, const i18n::LanguagePack& pack) {
  static constexpr int kOrder[] = {
      nav::kPageHome,           nav::kPageSearch,          nav::kPageLinkChoice,
      nav::kPageSetupType,      nav::kPageDiagram,         nav::kPageWizardAddress,
      nav::kPageUpnp,           nav::kPageLinkServerLogin, nav::kPagePppoe,
      nav::kPageFinish,         nav::kPageWpsDiagram,      nav::kPageWps,
      nav::kPageIspLink,        nav::kPageWiredAddress,    nav::kPageWirelessAddress,
      nav::kPageAccessPoint,    nav::kPageSystem,          nav::kPageApList,
      nav::kPageLinkServerList, nav::kPageSummary};
  for (int index : kOrder) area.page(index)->LoadTexts(pack);
}

}  // namespace orv::gui
