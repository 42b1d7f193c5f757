#!/usr/bin/env python3
"""Writes Language/CHT.ini, the Traditional Chinese language pack.

The texts live here as ordinary UTF-8 source; the pack itself is UTF-16LE with its byte-order mark
and CRLF line ends, the form the program reads as wide text. Sections and keys follow ENG.ini.

    scripts/make_cht_pack.py            rewrite Language/CHT.ini
    scripts/make_cht_pack.py --check    exit 1 when Language/CHT.ini differs from these texts
    scripts/make_cht_pack.py -o PATH    write somewhere else
"""

import argparse
import pathlib
import sys

PACK = [
    ("Common", [
        ("BtnBack", "上一步"),
        ("BtnNext", "下一步"),
        ("BtnSave", "儲存"),
        ("BtnFinish", "完成"),
        ("BtnOK", "確定"),
        ("BtnCancel", "取消"),
        ("BtnYes", "是(&Y)"),
        ("BtnNo", "否(&N)"),
    ]),
    ("WizardDlg", [
        ("Message1", "無法連線到攝影機。請確認攝影機已開啟電源並連接到這個網路，然後再試一次。"),
        ("Message2", "攝影機沒有及時回應，或拒絕了這項要求。請確認攝影機已開啟電源並連接到這個網路，然後再試一次。"),
        ("Message3", "設定已儲存。攝影機正在重新啟動並加入無線網路；等它重新上線後，即可拔除它的網路線。"),
        ("Message4", "設定已儲存。攝影機正在以新的設定重新啟動。"),
        ("Message5", "攝影機重新啟動後，在網路上找不到它。請檢查它的網路線或無線設定，然後從首頁重新搜尋攝影機。"),
        ("Message6", "已在新的位址找到攝影機。"),
        ("Message7", "攝影機不接受這次登入。請確認使用者 root 的密碼後再試一次。"),
        ("Message8", "攝影機拒絕以這組使用者名稱與密碼存取它的設定。請使用攝影機的管理員密碼重新登入。"),
        ("Message9", "搜尋的位址沒有攝影機回應，因此沒有新增位址來連線到它。請確認攝影機已開啟電源並連接到這個網路，然後再試一次。"),
        ("Message10", "Orvantis 不能新增位址來連線到這台攝影機。網路輔助程式的回覆："),
        ("MenuHelp", "說明(&H)"),
        ("MenuAbout", "關於 Orvantis(&A)..."),
    ]),
    ("WaitDlg", [
        ("note1", "請稍候..."),
        ("note2", "正在讀取攝影機的設定，請稍候，約需半分鐘。"),
        ("note3", "正在將設定儲存到攝影機，請稍候，這需要一分多鐘。"),
        ("note4", "正在新的位址上尋找攝影機，請稍候，最多可能需要兩分鐘。"),
    ]),
    ("AboutDlg", [
        ("Info1", "Orvantis 版本 0.1.0"),
        ("Info2", "搜尋區域網路上的網路攝影機，並完成它們的設定。"),
        ("DlgTitle", "關於 Orvantis"),
        ("BtnOK", "確定"),
    ]),
    ("FirstPage", [
        ("Btn_FindCam", "搜尋攝影機"),
        ("Btn_SetupCam", "設定攝影機"),
        ("Btn_FindNet", "搜尋內部網路"),
        ("Btn_About", "關於我們"),
        ("LinkTypeEthernet", "透過乙太網路連上網際網路"),
        ("LinkTypePPPOE", "透過 PPPoE 連上網際網路"),
        ("LinkFixedIP", "固定 IP 位址"),
        ("LinkDynamicIP", "動態 IP 位址 (DHCP)"),
        ("LinkNotConnect", "未連上網際網路"),
        ("Btn_Language", "語言"),
        ("LinkGroup", "網路類型"),
    ]),
    ("SearchPage", [
        ("BtnStrartFind", "開始搜尋"),
        ("BtnFindingCam", "搜尋中..."),
        ("BtnStopFind", "停止搜尋"),
        ("Note", "按「開始搜尋」尋找這個網路上的攝影機，搜尋最長會進行三分鐘。請在清單中選取您的攝影機，"
                 "然後按「下一步」。在攝影機上按兩下，可在瀏覽器中開啟它的網頁。如果清單中沒有您的攝影機，"
                 "請確認它已開啟電源，並與這台電腦連接在同一個網路上。"),
        ("CamList", "攝影機清單"),
        ("Message1", "找不到任何攝影機。請確認攝影機已開啟電源並連接到這個網路，然後按「開始搜尋」。"),
        ("Message2", "請在清單中選取一台攝影機，然後按「下一步」。"),
        ("Message3", "這台攝影機回報的位址或連接埠無法使用。請檢查攝影機的網路設定，然後重新搜尋。"),
        ("TitleSearch", "搜尋攝影機"),
        ("ListIP", "IP 位址"),
        ("ListMAC", "MAC 位址"),
        ("ListPort", "連接埠"),
        ("ListDesc", "描述 / 介面"),
        ("ListSPort", "串流連接埠"),
        ("ListSerial", "序號"),
        ("BtnExport", "匯出..."),
        ("Message4", "無法將攝影機清單儲存到這個檔案。請確認它的資料夾存在並且可以寫入，然後再試一次。"),
    ]),
    ("ChoosePage", [
        ("Note1", "您要在這個網路上新增一台攝影機嗎？"),
        ("RadioYes", "是"),
        ("RadioNo", "否"),
        ("RadioLan", "有線網路 (LAN)"),
        ("RadioWireless", "無線網路"),
        ("RadioPPPoE", "PPPoE"),
        ("Note2", "變更已安裝的攝影機的設定。"),
    ]),
    ("ShowPicPage", [
        ("note", "請依照圖示連接攝影機並開啟電源。等攝影機的網路指示燈開始閃爍後，按「下一步」搜尋攝影機。"),
    ]),
    ("OptionPage", [
        ("RadioWizard", "精靈設定"),
        ("RadioMaunal", "手動設定"),
        ("StaticWizard", "精靈會逐步引導您完成攝影機的位址、網際網路連線與無線網路設定。"),
        ("StaticMaunal", "自行設定攝影機的每一個項目，從主機名稱與時鐘開始。"),
    ]),
    ("SystemPage", [
        ("Hostname", "主機名稱："),
        ("Description", "說明："),
        ("KeepCurrentTime", "保留目前的日期與時間"),
        ("SyncComputerTime", "與電腦時間同步"),
        ("ManualTime", "手動設定"),
        ("ManualTimeData", "日期與時間："),
        ("AutomaticTime", "自動 (時間伺服器)"),
        ("Message1", "請以 yyyy/mm/dd 格式輸入日期，例如 2026/12/31。"),
        ("Message2", "請以 24 小時制的 hh:mm:ss 格式輸入時間，例如 18:30:00。"),
        ("NTPTimeZone", "時區："),
        ("NTPTimeUpdata", "更新間隔："),
        ("TitleSystem", "系統設定"),
        ("Message3", "主機名稱太長，或含有攝影機無法儲存的字元。請縮短或修改。"),
        ("Message4", "說明太長，或含有攝影機無法儲存的字元。請縮短或修改。"),
        ("Message5", "時間伺服器名稱太長，或含有攝影機無法儲存的字元。請縮短或修改。"),
        ("NTPServer", "時間伺服器："),
        ("DateFormat", "[年/月/日]"),
        ("TimeFormat", "[時:分:秒]"),
    ]),
    ("LANISPPage", [
        ("RadioLAN", "有線網路 (LAN)"),
        ("RadioPPPoE", "PPPoE"),
        ("UserID", "使用者名稱："),
        ("Password", "密碼："),
        ("ConfirmPwd", "確認密碼："),
        ("Message1", "密碼與確認密碼不一致。請在兩個欄位中輸入相同的密碼。"),
        ("TitleISP", "網際網路連線"),
        ("Message2", "使用者名稱太長，或含有攝影機無法儲存的字元。請縮短或修改。"),
        ("Message3", "密碼太長，或含有攝影機無法儲存的字元。請縮短或修改。"),
        ("Message4", "攝影機不會回報它已儲存的 PPPoE 登入資料，因此必須重新輸入。請輸入使用者名稱與密碼。"),
    ]),
    ("LANPage", [
        ("RadioDHCP", "透過 DHCP 取得 IP"),
        ("RadioFixIP", "使用固定 IP 位址"),
        ("IP", "IP 位址："),
        ("Submask", "子網路遮罩："),
        ("Gateway", "預設閘道："),
        ("DNS", "主要 DNS："),
        ("DNS2", "次要 DNS："),
        ("Message1", "攝影機要使用無線連線嗎？選「是」接著設定它的無線網路，選「否」則只使用有線連線。"),
        ("TitleLAN", "有線網路"),
    ]),
    ("WLANIPPage", [
        ("RadioDHCP", "透過 DHCP 取得無線 IP"),
        ("RadioFixIP", "使用固定無線 IP"),
        ("IP", "IP 位址："),
        ("Submask", "子網路遮罩："),
        ("Gateway", "預設閘道："),
        ("DNS", "主要 DNS："),
        ("DNS2", "次要 DNS："),
        ("TitleWLAN", "無線網路位址"),
    ]),
    ("WizardIPPage", [
        ("RadioDHCP", "自動取得 IP 位址 (DHCP)"),
        ("RadioFixIP", "固定 IP 位址"),
        ("IP", "IP 位址"),
        ("Submask", "子網路遮罩"),
        ("Gateway", "閘道"),
        ("DNS", "DNS 伺服器"),
        ("BtnSendARP", "測試位址"),
        ("Note1", "使用固定位址時，精靈會建議一個在這台電腦的網路中未被使用的位址。您也可以輸入其他位址，"
                  "並按「測試位址」確認沒有其他裝置使用它。"),
        ("Message1", "這個 IP 位址已被其他裝置使用，請選擇其他位址。"),
        ("Message2", "沒有裝置回應這個 IP 位址，您可以使用它。"),
        ("Message3", "您的攝影機支援 WPS。要透過按下無線路由器上的 WPS 按鈕來連線嗎？選「否」則改從清單中選擇無線網路。"),
        ("Message4", "這個位址沒有經過測試，因此無法得知是否有其他裝置正在使用它。測試需要在欄位中輸入位址、"
                     "本程式具有網路權限，以及一張可用的網路介面卡。"),
        ("TitleWizardIP", "攝影機位址"),
    ]),
    ("PPPoEPage", [
        ("UserID", "使用者名稱"),
        ("Password", "密碼"),
        ("TitlePPPoE", "PPPoE 帳號"),
        ("Message1", "使用者名稱太長，或含有攝影機無法儲存的字元。請縮短或修改。"),
        ("Message2", "密碼太長，或含有攝影機無法儲存的字元。請縮短或修改。"),
    ]),
    ("WLANAPPage", [
        ("SSID", "網路名稱 (SSID)："),
        ("WirelessMode", "模式："),
        ("Channel", "頻道："),
        ("TxRate", "傳輸速率："),
        ("Security", "安全性："),
        ("WEPKeyLength", "金鑰長度："),
        ("WEPMode", "驗證方式："),
        ("WEPKeyFormat", "金鑰格式："),
        ("WEPDefKey", "預設金鑰："),
        ("WPAAlgorithm", "加密方式："),
        ("WPAKey", "預先共用金鑰："),
        ("WEPKey", "WEP 金鑰："),
        ("Message1", "HEX 格式的 WEP 金鑰只能包含 0-9 與 A-F 字元。請修正金鑰，或改選 ASCII 金鑰格式。"),
        ("Message2", "請輸入無線網路的 WEP 金鑰。"),
        ("Message3", "請輸入無線網路的預先共用金鑰 (WPA 金鑰)。"),
        ("Message4", "WEP 金鑰的長度是固定的：64 位元為 10 個 HEX 或 5 個 ASCII 字元，128 位元為 26 個 HEX 或 13 個 ASCII 字元。請修正金鑰，或選擇其長度與格式。"),
        ("Message5", "網路名稱 (SSID) 或金鑰中含有無法為攝影機儲存的字元，或是太長。請修正。"),
        ("TitleWireless", "無線網路"),
    ]),
    ("ApscanPage", [
        ("AP", "存取點："),
        ("SSID", "網路名稱 (SSID)"),
        ("WirelessMode", "模式："),
        ("Channel", "頻道："),
        ("Quality", "訊號品質："),
        ("Security", "安全性"),
        ("APMAC", "MAC 位址："),
        ("WEPKeyLength", "金鑰長度："),
        ("WEPMode", "驗證方式："),
        ("WEPKeyFormat", "金鑰格式："),
        ("WEPDefKey", "預設金鑰："),
        ("WPAAlgorithm", "加密方式："),
        ("WPAKey", "預先共用金鑰："),
        ("WEPKey", "WEP 金鑰："),
        ("Message1", "攝影機找不到任何無線存取點。要讓它重新掃描嗎？"),
        ("Message2", "請輸入無線網路的 WEP 金鑰。"),
        ("Message3", "HEX 格式的 WEP 金鑰只能包含 0-9 與 A-F 字元。請修正金鑰，或改選 ASCII 金鑰格式。"),
        ("Message4", "請輸入無線網路的預先共用金鑰 (WPA 金鑰)。"),
        ("Message5", "WEP 金鑰的長度是固定的：64 位元為 10 個 HEX 或 5 個 ASCII 字元，128 位元為 26 個 HEX 或 13 個 ASCII 字元。請修正金鑰，或選擇其長度與格式。"),
        ("Message6", "文字中含有無法為攝影機儲存的字元，或是太長。請修正。"),
        ("TitleWireless", "無線網路"),
    ]),
    ("WPSPicPage", [
        ("Note1", "請確認您的無線路由器支援 WPS，並已開啟電源。"),
        ("Note2", "按「下一步」後，請在一分鐘內按下路由器上的 WPS 按鈕。"),
        ("Message1", "請現在按下無線路由器上的 WPS 按鈕。"),
        ("TitleWPS", "WPS 設定"),
    ]),
    ("WPSPage", [
        ("Note", "請現在按下無線路由器上的 WPS 按鈕。攝影機最多會等待路由器兩分半鐘。"),
        ("Message1", "攝影機尚未找到任何無線存取點。要讓它重新掃描嗎？"),
        ("Message2", "WPS 設定失敗：路由器沒有及時回應。請按下路由器上的 WPS 按鈕後再試一次，或返回上一步從清單中選擇網路。"),
        ("Message3", "WPS 設定成功：攝影機已從路由器取得無線設定。請按「下一步」繼續。"),
        ("Message4", "攝影機無法啟動 WPS。請檢查與攝影機的連線後再試一次。"),
        ("TitleWPS", "WPS 設定"),
        ("BtnStart", "開始"),
    ]),
    ("UPnPPage", [
        ("UPnPEn", "啟用 UPnP"),
        ("HttpPort", "HTTP 連接埠"),
        ("StreamPort", "串流連接埠"),
        ("RTSP", "RTSP 連接埠"),
        ("Message1", "HTTP 連接埠必須是 80，或 1025 到 65535 之間的數字。"),
        ("Message2", "串流連接埠必須是 1025 到 65535 之間的數字，或這個攝影機型號接受的低連接埠（部分型號為 54，其他型號為 53）。"),
        ("Message3", "RTSP 連接埠必須是 554，或 1025 到 65535 之間的數字。"),
        ("Message4", "HTTP 連接埠與串流連接埠不能相同。"),
        ("Message5", "HTTP 連接埠與 RTSP 連接埠不能相同。"),
        ("Message6", "串流連接埠與 RTSP 連接埠不能相同。"),
        ("TitleUPnP", "UPnP 與連接埠"),
    ]),
    ("SetAutoParamPage", [
        ("Message1", "攝影機即將套用這些設定並重新啟動，約需一到兩分鐘。按「確定」繼續，或按「取消」再檢查一次設定。"),
        ("SystemInfo", "系統"),
        ("NetworkInfo", "網路"),
        ("WirelessInfo", "無線網路"),
        ("UPnPInfo", "UPnP 與連接埠"),
        ("USEWPS", "以 WPS 設定無線連線"),
        ("WPSSucces", "WPS 成功：攝影機已取得路由器的無線設定。"),
        ("WPSFailed", "WPS 失敗：攝影機尚未從路由器取得無線設定。"),
        ("NotUseWireless", "攝影機將不使用無線連線。"),
        ("NotSupposeWireless", "這台攝影機不支援無線連線。"),
        ("EnUPnP", "UPnP 已啟用"),
        ("DisUPnP", "UPnP 已停用"),
    ]),
    ("LoginPage", [
        ("Note", "請輸入您在連線伺服器上的帳號 ID 與密碼，以列出登記在這個帳號下的攝影機。"),
        ("LoginType", "登入類型："),
        ("ID", "帳號 ID："),
        ("Password", "密碼："),
        ("Message1", "請輸入帳號 ID 與密碼。"),
        ("Message2", "帳號 ID 或密碼太長，或含有這裡無法使用的字元。兩者各最多 32 個位元組。"),
        ("Message3", "無法連線到連結伺服器，或伺服器沒有回應。請檢查網際網路連線後再試一次。"),
        ("DiviceLogin", "裝置登入"),
        ("UserLogin", "使用者登入"),
        ("TitleLogin", "連線伺服器登入"),
    ]),
    ("DlgLoginRoot", [
        ("DlgLoginRootCaption", "root 登入"),
        ("Root", "使用者名稱："),
        ("Password", "密碼："),
        ("note1", "攝影機需要管理員密碼。請輸入使用者 root 的密碼。"),
        ("BtnOK", "確定"),
        ("Message1", "密碼太長，或含有這裡無法使用的字元。密碼最多 63 個位元組。"),
        ("BtnCancel", "取消"),
    ]),
    ("SetupFinishPage", [
        ("IP", "IP 位址："),
        ("CamID", "攝影機 ID："),
        ("MAC", "MAC 位址："),
        ("Interface", "介面："),
        ("Port", "連接埠："),
        ("SPort", "串流連接埠："),
        ("BtnLink", "開啟網頁"),
    ]),
    ("ServerPage", [
        ("CamList", "攝影機清單"),
        ("TitleServer", "伺服器上的攝影機"),
        ("ListIP", "IP 位址"),
        ("ListID", "ID 編號"),
        ("ListPort", "連接埠"),
        ("ListModel", "型號"),
        ("ListMAC", "MAC 位址"),
    ]),
]


def render():
    lines = []
    for i, (section, keys) in enumerate(PACK):
        if i:
            lines.append("")
        lines.append("[%s]" % section)
        for key, value in keys:
            # A value runs to the end of its line, so a line break inside one would cut it short.
            if "\n" in value or "\r" in value:
                sys.exit("%s/%s: a value must stay on one line" % (section, key))
            lines.append("%s=%s" % (key, value))
    return ("\ufeff" + "\r\n".join(lines) + "\r\n").encode("utf-16-le")


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", "--output", type=pathlib.Path, default=root / "Language" / "CHT.ini")
    parser.add_argument("--check", action="store_true", help="compare instead of writing")
    args = parser.parse_args()

    data = render()
    if args.check:
        current = args.output.read_bytes() if args.output.exists() else b""
        if current != data:
            print("%s is out of date: run %s" % (args.output, sys.argv[0]), file=sys.stderr)
            return 1
        return 0
    args.output.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
