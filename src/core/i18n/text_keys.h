#pragma once
// Every language-pack lookup the product makes: section, key, the size of the buffer the lookup
// reads into (characters, terminator included; a longer value comes back cut to buffer - 1) and the
// class that reads it. A key read by two classes appears once per reader, because their buffers
// may differ. The shipped packs are checked against this table, so a reader that starts looking up
// a new key adds its row here, or the check fails and says which key is missing.

#include <cstddef>
#include <string_view>

#include "core/i18n/language_pack.h"

namespace orv::i18n {

struct TextKey {
  std::string_view section;
  std::string_view key;
  std::size_t buffer;  // characters, terminator included
  std::string_view reader;
};

// Short names for the lookup buffer sizes, to keep the table below readable.
inline constexpr std::size_t kTextLabel = kTextChars;
inline constexpr std::size_t kTextHome = kHomeTextChars;
inline constexpr std::size_t kTextMessage = kMessageChars;
inline constexpr std::size_t kTextSummary = kSummaryChars;
inline constexpr std::size_t kTextLong = kLongMessageChars;
inline constexpr std::size_t kTextNote = kNoteChars;
inline constexpr std::size_t kLangFileBuffer = kLangFileChars;  // no pack key

// clang-format off
inline constexpr TextKey kTextKeys[] = {
    // Main window: its messages, then the wait window's texts.
    {"WizardDlg", "Message1", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message2", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message3", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message4", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message5", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message6", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message7", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message8", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message9", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "Message10", kTextMessage, "CWizardDlg"},
    {"WaitDlg", "note1", kTextMessage, "CWizardDlg"},
    {"WaitDlg", "note2", kTextMessage, "CWizardDlg"},
    {"WaitDlg", "note3", kTextMessage, "CWizardDlg"},
    {"WaitDlg", "note4", kTextMessage, "CWizardDlg"},
    {"WizardDlg", "MenuHelp", kTextLabel, "CWizardDlg"},
    {"WizardDlg", "MenuAbout", kTextLabel, "CWizardDlg"},
    // The message boxes' buttons, for every box of the window and its pages.
    {"Common", "BtnOK", kTextLabel, "CWizardDlg"},
    {"Common", "BtnCancel", kTextLabel, "CWizardDlg"},
    {"Common", "BtnYes", kTextLabel, "CWizardDlg"},
    {"Common", "BtnNo", kTextLabel, "CWizardDlg"},

    // About dialog, looked up each time it opens.
    {"AboutDlg", "Info1", kTextMessage, "CAboutDlg"},
    {"AboutDlg", "Info2", kTextMessage, "CAboutDlg"},
    {"AboutDlg", "DlgTitle", kTextMessage, "CAboutDlg"},
    {"AboutDlg", "BtnOK", kTextMessage, "CAboutDlg"},

    // Home page.
    {"FirstPage", "Btn_FindCam", kTextHome, "CSubFirst"},
    {"FirstPage", "Btn_SetupCam", kTextHome, "CSubFirst"},
    {"FirstPage", "Btn_FindNet", kTextHome, "CSubFirst"},
    {"FirstPage", "Btn_About", kTextHome, "CSubFirst"},
    {"FirstPage", "LinkTypeEthernet", kTextHome, "CSubFirst"},
    {"FirstPage", "LinkTypePPPOE", kTextHome, "CSubFirst"},
    {"FirstPage", "LinkFixedIP", kTextHome, "CSubFirst"},
    {"FirstPage", "LinkDynamicIP", kTextHome, "CSubFirst"},
    {"FirstPage", "LinkNotConnect", kTextHome, "CSubFirst"},
    {"FirstPage", "Btn_Language", kTextLabel, "CSubFirst"},
    {"FirstPage", "LinkGroup", kTextLabel, "CSubFirst"},

    // Camera search page.
    {"Common", "BtnBack", kTextLabel, "CSubSearchNet"},
    {"Common", "BtnNext", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "BtnStrartFind", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "BtnFindingCam", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "BtnStopFind", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "Note", kTextNote, "CSubSearchNet"},
    {"SearchPage", "CamList", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "Message1", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "Message2", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "Message3", kTextMessage, "CSubSearchNet"},
    {"SearchPage", "TitleSearch", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "ListIP", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "ListMAC", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "ListPort", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "ListDesc", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "ListSPort", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "ListSerial", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "BtnExport", kTextLabel, "CSubSearchNet"},
    {"SearchPage", "Message4", kTextMessage, "CSubSearchNet"},

    // Link-choice page.
    {"Common", "BtnBack", kTextLabel, "CSubChoose"},
    {"Common", "BtnNext", kTextLabel, "CSubChoose"},
    {"ChoosePage", "Note1", kTextLabel, "CSubChoose"},
    {"ChoosePage", "RadioYes", kTextLabel, "CSubChoose"},
    {"ChoosePage", "RadioNo", kTextLabel, "CSubChoose"},
    {"ChoosePage", "RadioLan", kTextLabel, "CSubChoose"},
    {"ChoosePage", "RadioWireless", kTextLabel, "CSubChoose"},
    {"ChoosePage", "RadioPPPoE", kTextLabel, "CSubChoose"},
    {"ChoosePage", "Note2", kTextLabel, "CSubChoose"},

    // Connection-diagram page.
    {"Common", "BtnBack", kTextLabel, "CSubShowPic"},
    {"Common", "BtnNext", kTextLabel, "CSubShowPic"},
    {"ShowPicPage", "note", kTextMessage, "CSubShowPic"},

    // Setup-type page.
    {"Common", "BtnBack", kTextLabel, "CSubOption"},
    {"Common", "BtnNext", kTextLabel, "CSubOption"},
    {"OptionPage", "RadioWizard", kTextLabel, "CSubOption"},
    {"OptionPage", "RadioMaunal", kTextLabel, "CSubOption"},
    {"OptionPage", "StaticWizard", kTextLabel, "CSubOption"},
    {"OptionPage", "StaticMaunal", kTextLabel, "CSubOption"},

    // System page (ManualTime is read twice, both times the same way).
    {"Common", "BtnBack", kTextLabel, "CSubSystem"},
    {"Common", "BtnNext", kTextLabel, "CSubSystem"},
    {"SystemPage", "Hostname", kTextLabel, "CSubSystem"},
    {"SystemPage", "Description", kTextLabel, "CSubSystem"},
    {"SystemPage", "KeepCurrentTime", kTextLabel, "CSubSystem"},
    {"SystemPage", "SyncComputerTime", kTextLabel, "CSubSystem"},
    {"SystemPage", "ManualTime", kTextLabel, "CSubSystem"},
    {"SystemPage", "ManualTimeData", kTextLabel, "CSubSystem"},
    {"SystemPage", "AutomaticTime", kTextLabel, "CSubSystem"},
    {"SystemPage", "Message1", kTextMessage, "CSubSystem"},
    {"SystemPage", "Message2", kTextMessage, "CSubSystem"},
    {"SystemPage", "NTPTimeZone", kTextLabel, "CSubSystem"},
    {"SystemPage", "NTPTimeUpdata", kTextLabel, "CSubSystem"},
    {"SystemPage", "TitleSystem", kTextLabel, "CSubSystem"},
    {"SystemPage", "Message3", kTextMessage, "CSubSystem"},
    {"SystemPage", "Message4", kTextMessage, "CSubSystem"},
    {"SystemPage", "Message5", kTextMessage, "CSubSystem"},
    {"SystemPage", "NTPServer", kTextLabel, "CSubSystem"},
    {"SystemPage", "DateFormat", kTextLabel, "CSubSystem"},
    {"SystemPage", "TimeFormat", kTextLabel, "CSubSystem"},

    // ISP link-type page.
    {"Common", "BtnBack", kTextLabel, "CSubLANISP"},
    {"Common", "BtnNext", kTextLabel, "CSubLANISP"},
    {"LANISPPage", "RadioLAN", kTextLabel, "CSubLANISP"},
    {"LANISPPage", "RadioPPPoE", kTextLabel, "CSubLANISP"},
    {"LANISPPage", "UserID", kTextLabel, "CSubLANISP"},
    {"LANISPPage", "Password", kTextLabel, "CSubLANISP"},
    {"LANISPPage", "ConfirmPwd", kTextLabel, "CSubLANISP"},
    {"LANISPPage", "Message1", kTextLabel, "CSubLANISP"},
    {"LANISPPage", "TitleISP", kTextMessage, "CSubLANISP"},
    {"LANISPPage", "Message2", kTextMessage, "CSubLANISP"},
    {"LANISPPage", "Message3", kTextMessage, "CSubLANISP"},
    {"LANISPPage", "Message4", kTextMessage, "CSubLANISP"},

    // Wired address page.
    {"Common", "BtnBack", kTextLabel, "CSubLANIP"},
    {"Common", "BtnNext", kTextLabel, "CSubLANIP"},
    {"LANPage", "RadioDHCP", kTextLabel, "CSubLANIP"},
    {"LANPage", "RadioFixIP", kTextLabel, "CSubLANIP"},
    {"LANPage", "IP", kTextLabel, "CSubLANIP"},
    {"LANPage", "Submask", kTextLabel, "CSubLANIP"},
    {"LANPage", "Gateway", kTextLabel, "CSubLANIP"},
    {"LANPage", "DNS", kTextLabel, "CSubLANIP"},
    {"LANPage", "DNS2", kTextLabel, "CSubLANIP"},
    {"LANPage", "Message1", kTextLabel, "CSubLANIP"},
    {"LANPage", "TitleLAN", kTextMessage, "CSubLANIP"},

    // Wireless address page.
    {"Common", "BtnBack", kTextLabel, "CSubWLANIP"},
    {"Common", "BtnNext", kTextLabel, "CSubWLANIP"},
    {"WLANIPPage", "RadioDHCP", kTextLabel, "CSubWLANIP"},
    {"WLANIPPage", "RadioFixIP", kTextLabel, "CSubWLANIP"},
    {"WLANIPPage", "IP", kTextLabel, "CSubWLANIP"},
    {"WLANIPPage", "Submask", kTextLabel, "CSubWLANIP"},
    {"WLANIPPage", "Gateway", kTextLabel, "CSubWLANIP"},
    {"WLANIPPage", "DNS", kTextLabel, "CSubWLANIP"},
    {"WLANIPPage", "DNS2", kTextLabel, "CSubWLANIP"},
    {"WLANIPPage", "TitleWLAN", kTextMessage, "CSubWLANIP"},

    // Wizard address page.
    {"Common", "BtnBack", kTextLabel, "CSubWizardIP"},
    {"Common", "BtnNext", kTextLabel, "CSubWizardIP"},
    {"WizardIPPage", "RadioDHCP", kTextLabel, "CSubWizardIP"},
    {"WizardIPPage", "RadioFixIP", kTextLabel, "CSubWizardIP"},
    {"WizardIPPage", "IP", kTextLabel, "CSubWizardIP"},
    {"WizardIPPage", "Submask", kTextLabel, "CSubWizardIP"},
    {"WizardIPPage", "Gateway", kTextLabel, "CSubWizardIP"},
    {"WizardIPPage", "DNS", kTextLabel, "CSubWizardIP"},
    {"WizardIPPage", "BtnSendARP", kTextMessage, "CSubWizardIP"},
    {"WizardIPPage", "Note1", kTextMessage, "CSubWizardIP"},
    {"WizardIPPage", "Message1", kTextLong, "CSubWizardIP"},
    {"WizardIPPage", "Message2", kTextLong, "CSubWizardIP"},
    {"WizardIPPage", "Message3", kTextLong, "CSubWizardIP"},
    {"WizardIPPage", "Message4", kTextLong, "CSubWizardIP"},
    {"WizardIPPage", "TitleWizardIP", kTextMessage, "CSubWizardIP"},

    // PPPoE page.
    {"Common", "BtnBack", kTextLabel, "CSubPPPoE"},
    {"Common", "BtnNext", kTextLabel, "CSubPPPoE"},
    {"PPPoEPage", "UserID", kTextLabel, "CSubPPPoE"},
    {"PPPoEPage", "Password", kTextLabel, "CSubPPPoE"},
    {"PPPoEPage", "TitlePPPoE", kTextMessage, "CSubPPPoE"},
    {"PPPoEPage", "Message1", kTextMessage, "CSubPPPoE"},
    {"PPPoEPage", "Message2", kTextMessage, "CSubPPPoE"},

    // Manual wireless page.
    {"Common", "BtnBack", kTextLabel, "CSubWLANAP"},
    {"Common", "BtnNext", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "SSID", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "WirelessMode", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "Channel", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "TxRate", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "Security", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "WEPKeyLength", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "WEPMode", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "WEPKeyFormat", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "WEPDefKey", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "WPAAlgorithm", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "WPAKey", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "WEPKey", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "Message1", kTextLabel, "CSubWLANAP"},
    {"WLANAPPage", "Message2", kTextMessage, "CSubWLANAP"},
    {"WLANAPPage", "Message3", kTextMessage, "CSubWLANAP"},
    {"WLANAPPage", "Message4", kTextMessage, "CSubWLANAP"},
    {"WLANAPPage", "Message5", kTextMessage, "CSubWLANAP"},
    {"WLANAPPage", "TitleWireless", kTextMessage, "CSubWLANAP"},

    // Access-point list of the wizard.
    {"Common", "BtnBack", kTextLabel, "CSubAPScan"},
    {"Common", "BtnNext", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "AP", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "SSID", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "WirelessMode", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "Channel", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "Quality", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "Security", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "APMAC", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "WEPKeyLength", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "WEPMode", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "WEPKeyFormat", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "WEPDefKey", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "WPAAlgorithm", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "WPAKey", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "WEPKey", kTextLabel, "CSubAPScan"},
    {"ApscanPage", "Message1", kTextMessage, "CSubAPScan"},
    {"ApscanPage", "Message2", kTextMessage, "CSubAPScan"},
    {"ApscanPage", "Message3", kTextMessage, "CSubAPScan"},
    {"ApscanPage", "Message4", kTextMessage, "CSubAPScan"},
    {"ApscanPage", "Message5", kTextMessage, "CSubAPScan"},
    {"ApscanPage", "Message6", kTextMessage, "CSubAPScan"},
    {"ApscanPage", "TitleWireless", kTextMessage, "CSubAPScan"},

    // WPS diagram page.
    {"Common", "BtnBack", kTextLabel, "CSubWPSPic"},
    {"Common", "BtnNext", kTextLabel, "CSubWPSPic"},
    {"WPSPicPage", "Note1", kTextLabel, "CSubWPSPic"},
    {"WPSPicPage", "Note2", kTextLabel, "CSubWPSPic"},
    {"WPSPicPage", "Message1", kTextLong, "CSubWPSPic"},
    {"WPSPicPage", "TitleWPS", kTextMessage, "CSubWPSPic"},

    // WPS page.
    {"Common", "BtnBack", kTextLabel, "CSubWPS"},
    {"Common", "BtnNext", kTextLabel, "CSubWPS"},
    {"WPSPage", "Note", kTextMessage, "CSubWPS"},
    {"WPSPage", "BtnStart", kTextLabel, "CSubWPS"},
    {"WPSPage", "Message1", kTextLong, "CSubWPS"},
    {"WPSPage", "Message2", kTextLong, "CSubWPS"},
    {"WPSPage", "Message3", kTextLong, "CSubWPS"},
    {"WPSPage", "Message4", kTextLong, "CSubWPS"},
    {"WPSPage", "TitleWPS", kTextMessage, "CSubWPS"},

    // UPnP and ports page.
    {"Common", "BtnBack", kTextLabel, "CSubUPnP"},
    {"Common", "BtnNext", kTextLabel, "CSubUPnP"},
    {"UPnPPage", "UPnPEn", kTextLabel, "CSubUPnP"},
    {"UPnPPage", "HttpPort", kTextLabel, "CSubUPnP"},
    {"UPnPPage", "StreamPort", kTextLabel, "CSubUPnP"},
    {"UPnPPage", "RTSP", kTextLabel, "CSubUPnP"},
    {"UPnPPage", "Message1", kTextLong, "CSubUPnP"},
    {"UPnPPage", "Message2", kTextLong, "CSubUPnP"},
    {"UPnPPage", "Message3", kTextLong, "CSubUPnP"},
    {"UPnPPage", "Message4", kTextLong, "CSubUPnP"},
    {"UPnPPage", "Message5", kTextLong, "CSubUPnP"},
    {"UPnPPage", "Message6", kTextLong, "CSubUPnP"},
    {"UPnPPage", "TitleUPnP", kTextMessage, "CSubUPnP"},

    // Summary page: its own texts, then the labels it looks up each time it builds the summary.
    {"Common", "BtnBack", kTextLabel, "CSubSetAutoParam"},
    {"Common", "BtnSave", kTextLabel, "CSubSetAutoParam"},
    {"SetAutoParamPage", "Message1", kTextSummary, "CSubSetAutoParam"},
    {"SetAutoParamPage", "SystemInfo", kTextLabel, "CSubSetAutoParam"},
    {"SetAutoParamPage", "NetworkInfo", kTextLabel, "CSubSetAutoParam"},
    {"SetAutoParamPage", "WirelessInfo", kTextLabel, "CSubSetAutoParam"},
    {"SetAutoParamPage", "UPnPInfo", kTextLabel, "CSubSetAutoParam"},
    {"SystemPage", "Hostname", kTextLabel, "CSubSetAutoParam"},
    {"SystemPage", "Description", kTextLabel, "CSubSetAutoParam"},
    {"PPPoEPage", "UserID", kTextSummary, "CSubSetAutoParam"},
    {"PPPoEPage", "Password", kTextSummary, "CSubSetAutoParam"},
    {"WizardIPPage", "RadioDHCP", kTextSummary, "CSubSetAutoParam"},
    {"WizardIPPage", "RadioFixIP", kTextSummary, "CSubSetAutoParam"},
    {"WLANIPPage", "RadioFixIP", kTextSummary, "CSubSetAutoParam"},
    {"WizardIPPage", "Submask", kTextSummary, "CSubSetAutoParam"},
    {"WizardIPPage", "Gateway", kTextSummary, "CSubSetAutoParam"},
    {"WizardIPPage", "dns", kTextSummary, "CSubSetAutoParam"},  // the same key as "DNS"
    {"SetAutoParamPage", "USEWPS", kTextSummary, "CSubSetAutoParam"},
    {"SetAutoParamPage", "WPSSucces", kTextSummary, "CSubSetAutoParam"},
    {"SetAutoParamPage", "WPSFailed", kTextSummary, "CSubSetAutoParam"},
    {"SetAutoParamPage", "NotUseWireless", kTextSummary, "CSubSetAutoParam"},
    {"SetAutoParamPage", "NotSupposeWireless", kTextSummary, "CSubSetAutoParam"},
    {"ApscanPage", "SSID", kTextSummary, "CSubSetAutoParam"},
    {"ApscanPage", "Security", kTextSummary, "CSubSetAutoParam"},
    {"SetAutoParamPage", "EnUPnP", kTextSummary, "CSubSetAutoParam"},
    {"SetAutoParamPage", "DisUPnP", kTextSummary, "CSubSetAutoParam"},
    {"UPnPPage", "HttpPort", kTextLabel, "CSubSetAutoParam"},
    {"UPnPPage", "StreamPort", kTextLabel, "CSubSetAutoParam"},
    {"UPnPPage", "RTSP", kTextLabel, "CSubSetAutoParam"},

    // Link-server login page.
    {"Common", "BtnBack", kTextLabel, "CSubLogin"},
    {"Common", "BtnNext", kTextLabel, "CSubLogin"},
    {"LoginPage", "Note", kTextLabel, "CSubLogin"},
    {"LoginPage", "LoginType", kTextLabel, "CSubLogin"},
    {"LoginPage", "ID", kTextLabel, "CSubLogin"},
    {"LoginPage", "Password", kTextLabel, "CSubLogin"},
    {"LoginPage", "Message1", kTextMessage, "CSubLogin"},
    {"LoginPage", "Message2", kTextMessage, "CSubLogin"},
    {"LoginPage", "Message3", kTextMessage, "CSubLogin"},
    {"LoginPage", "DiviceLogin", kTextLabel, "CSubLogin"},
    {"LoginPage", "UserLogin", kTextLabel, "CSubLogin"},
    {"LoginPage", "TitleLogin", kTextMessage, "CSubLogin"},

    // Root login dialog, looked up each time it opens.
    {"DlgLoginRoot", "DlgLoginRootCaption", kTextLabel, "CDlgLoginRoot"},
    {"DlgLoginRoot", "Root", kTextLabel, "CDlgLoginRoot"},
    {"DlgLoginRoot", "Password", kTextLabel, "CDlgLoginRoot"},
    {"DlgLoginRoot", "note1", kTextLabel, "CDlgLoginRoot"},
    {"DlgLoginRoot", "BtnOK", kTextLabel, "CDlgLoginRoot"},
    {"DlgLoginRoot", "Message1", kTextMessage, "CDlgLoginRoot"},
    {"DlgLoginRoot", "BtnCancel", kTextLabel, "CDlgLoginRoot"},

    // Finish page.
    {"Common", "BtnFinish", kTextLabel, "CSubSetupFinish"},
    {"SetupFinishPage", "IP", kTextLabel, "CSubSetupFinish"},
    {"SetupFinishPage", "CamID", kTextLabel, "CSubSetupFinish"},
    {"SetupFinishPage", "MAC", kTextLabel, "CSubSetupFinish"},
    {"SetupFinishPage", "Interface", kTextLabel, "CSubSetupFinish"},
    {"SetupFinishPage", "Port", kTextLabel, "CSubSetupFinish"},
    {"SetupFinishPage", "SPort", kTextLabel, "CSubSetupFinish"},
    {"SetupFinishPage", "BtnLink", kTextLabel, "CSubSetupFinish"},

    // Link-server camera list.
    {"Common", "BtnBack", kTextLabel, "CSubLinkSer"},
    {"Common", "BtnFinish", kTextLabel, "CSubLinkSer"},
    {"ServerPage", "CamList", kTextLabel, "CSubLinkSer"},
    {"ServerPage", "TitleServer", kTextLabel, "CSubLinkSer"},
    {"ServerPage", "ListIP", kTextLabel, "CSubLinkSer"},
    {"ServerPage", "ListID", kTextLabel, "CSubLinkSer"},
    {"ServerPage", "ListPort", kTextLabel, "CSubLinkSer"},
    {"ServerPage", "ListModel", kTextLabel, "CSubLinkSer"},
    {"ServerPage", "ListMAC", kTextLabel, "CSubLinkSer"},
};
// clang-format on

// Section and key names match without regard to ASCII case, as in the packs themselves.
constexpr bool SameTextName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The smallest buffer any reader uses for section/key, or 0 when the product never reads it.
// A pack value must fit this one to be shown whole everywhere.
constexpr std::size_t TextBufferFor(std::string_view section, std::string_view key) {
  std::size_t smallest = 0;
  for (const TextKey& k : kTextKeys) {
    if (SameTextName(k.section, section) && SameTextName(k.key, key) &&
        (smallest == 0 || k.buffer < smallest)) {
      smallest = k.buffer;
    }
  }
  return smallest;
}

static_assert(TextBufferFor("wizardipPAGE", "DNS") == kTextLabel,
              "the wizard address page reads DNS into a label buffer");
static_assert(TextBufferFor("SearchPage", "Note") == kTextNote);
static_assert(TextBufferFor("SearchPage", "Nothing") == 0);

}  // namespace orv::i18n
