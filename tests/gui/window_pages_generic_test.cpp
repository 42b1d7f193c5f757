// Checks that hold for every page of the window, whoever built it: text from a camera, the link
// server or the network is never rich text, Tab follows the visual order, and Enter on the camera
// list still reaches the list inside the window that swallows Enter elsewhere.

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>

#include "core/app/navigation.h"
#include "core/util/ipv4.h"
#include "gui/pages/sub_link_ser.h"
#include "gui/pages/sub_search_net.h"
#include "gui/pages/sub_setup_finish.h"
#include "gui/support/window_fixture.h"
#include "gui/window/sub_form_collection.h"
#include "support/fake_discovery.h"

namespace orv::test {

using namespace gui;

namespace {

// Every text field of the record and of the lists a page is handed, set to text.
template <std::size_t N>
void Put(FixedText<N>& field, const std::string& text) {
  field = text;
}

void FillRecord(SessionRecord& s, const std::string& t) {
  for (auto* f : {&s.net.IPAddr, &s.net.Netmask, &s.net.Gateway, &s.net.DNS1, &s.net.DNS2,
                  &s.net.PAccount, &s.net.PPwd, &s.net.PVP, &s.net.SSID, &s.net.TxRate,
                  &s.net.WIPAddr, &s.net.WNetmask, &s.net.WGateway, &s.net.WDNS1, &s.net.WDNS2})
    Put(*f, t);
  for (auto* f : {&s.net.WPAKey, &s.net.WEPKey0, &s.net.WEPKey1, &s.net.WEPKey2, &s.net.WEPKey3})
    Put(*f, t);
  for (auto* f : {&s.sys.TitleBar, &s.sys.Desp, &s.sys.DDNSSrv, &s.sys.DDNSUser, &s.sys.DDNSPwd})
    Put(*f, t);
  for (auto* f : {&s.sys.DDNSHost, &s.sys.NTPName, &s.sys.ExtIPAddr}) Put(*f, t);
  for (auto* f : {&s.sys.Date, &s.sys.Time, &s.sys.Version}) Put(*f, t);
  Put(s.sys.ModelName, t);
  Put(s.cameraSerial, t);
  Put(s.cameraAddrText, t);
  Put(s.cameraPortText, t);
  for (auto* f : {&s.pcAddrText, &s.pcMaskText, &s.pcGatewayText, &s.pcDnsText, &s.pcPppoeUser,
                  &s.pcPppoePassword})
    Put(*f, t);
}

// The steps that show a page, in the engine's table.
constexpr int kPageSteps[] = {2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                              13, 14, 15, 20, 26, 27, 28, 29, 30, 31};

// Labels that would interpret what they show.
QStringList RichLabels(QWidget* page) {
  QStringList found;
  for (QLabel* label : page->findChildren<QLabel*>()) {
    const QString text = label->text();
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    const bool links = label->openExternalLinks() ||
                       (label->textInteractionFlags() &
                        (Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard)) != 0;
    if ((rich && text.contains(QLatin1Char('<'))) || (rich && links))
      found << QStringLiteral("%1 on %2: %3")
                   .arg(label->objectName(), QLatin1String(page->metaObject()->className()), text);
  }
  return found;
}

// The controls Tab lands on, as a keyboard user sees them.
QList<QWidget*> TabStops(QWidget* page) {
  QList<QWidget*> stops;
  for (QWidget* w : page->findChildren<QWidget*>()) {
    if ((w->focusPolicy() & Qt::TabFocus) == 0 || w->focusProxy() != nullptr) continue;
    if (!w->isVisibleTo(page) || !w->isEnabledTo(page)) continue;
    stops << w;
  }
  return stops;
}

// Top to bottom in rows, left to right within a row.
QList<QWidget*> VisualOrder(QWidget* page, QList<QWidget*> stops) {
  auto rect = [page](QWidget* w) { return QRect(w->mapTo(page, QPoint(0, 0)), w->size()); };
  std::stable_sort(stops.begin(), stops.end(), [&](QWidget* a, QWidget* b) {
    return rect(a).center().y() < rect(b).center().y();
  });
  QList<QWidget*> ordered;
  QList<QWidget*> row;
  int rowBottom = -1;
  auto flush = [&] {
    std::stable_sort(row.begin(), row.end(),
                     [&](QWidget* a, QWidget* b) { return rect(a).x() < rect(b).x(); });
    ordered << row;
    row.clear();
  };
  for (QWidget* w : stops) {
    if (!row.isEmpty() && rect(w).center().y() > rowBottom) flush();
    rowBottom = row.isEmpty() ? rect(w).bottom() : std::max(rowBottom, rect(w).bottom());
    row << w;
  }
  flush();
  return ordered;
}

// The order Tab visits the stops in, starting from first.
QList<QWidget*> TabOrder(QWidget* first, const QList<QWidget*>& stops) {
  QList<QWidget*> order{first};
  QWidget* w = first;
  for (int guard = 0; guard < 10000; ++guard) {
    w = w->nextInFocusChain();
    if (w == first) break;
    if (stops.contains(w) && !order.contains(w)) order << w;
  }
  return order;
}

QString Names(const QList<QWidget*>& list) {
  QStringList names;
  for (QWidget* w : list)
    names << (w->accessibleName().isEmpty() ? QLatin1String(w->metaObject()->className())
                                            : w->accessibleName());
  return names.join(QStringLiteral(" | "));
}

}  // namespace

class WindowPagesGenericTest : public QObject {
  Q_OBJECT
 private slots:
  void textFromOutsideIsNeverRichOnAnyPage_data() {
    QTest::addColumn<QString>("hostile");
    QTest::newRow("bold") << QStringLiteral("<b>x</b>");
    QTest::newRow("link") << QStringLiteral("<a href=\"http://e.invalid\">y</a>");
  }
  void textFromOutsideIsNeverRichOnAnyPage() {
    QFETCH(QString, hostile);
    const std::string t = hostile.toStdString();
    WindowOnFakes f;
    f.fakes.calls.deferred = true;  // nothing a page starts reaches out
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    w.show();

    AccessPointEntry ap;
    Put(ap.Mac_address, t);
    Put(ap.SSID, t);
    Put(ap.Mode, t);
    Put(ap.Security, t);
    Put(ap.Algorithm, t);
    w.jobs().SetAccessPoints({ap, ap});
    LinkServerCameraEntry listed;
    for (auto* field : {&listed.ID, &listed.IP, &listed.Modelname}) Put(*field, t);
    Put(listed.Port, t);
    Put(listed.Mac_address, t);
    CameraEntry found;
    for (auto* field : {&found.mac, &found.ip, &found.port, &found.cam_id, &found.sport})
      Put(*field, t);
    Put(found.desc, t);
    auto* finish = qobject_cast<CSubSetupFinish*>(w.page(nav::kPageFinish));
    QVERIFY(finish != nullptr);
    finish->SetCamera(found);

    QStringList rich;
    for (int code : kPageSteps) {
      FillRecord(w.session(), t);
      w.session().apCount = 2;
      w.session().apScanOk = 1;
      w.session().wpsAck = 1;  // no WPS session starts: an earlier one succeeded
      if (code == nav::kStepLinkServerList) {
        auto* linkSer = qobject_cast<CSubLinkSer*>(w.page(nav::kPageLinkServerList));
        QVERIFY(linkSer != nullptr);
        linkSer->SetCameras({listed, listed});
        linkSer->Prepare();
        w.pageArea()->ShowPage(nav::kPageLinkServerList);
      } else {
        w.OnStep(code);
      }
      QCOMPARE(w.pageArea()->current(), nav::PageForStep(code));
      rich << RichLabels(w.page(nav::PageForStep(code)));
    }
    // The home page shows the PC's link facts (the dial-up account's name among them).
    w.session().pcHasPpp = 1;
    w.session().internetReachable = 1;
    w.OnStep(nav::kStepHome);
    rich << RichLabels(w.page(nav::kPageHome));
    QVERIFY2(rich.isEmpty(), qPrintable(rich.join(QLatin1Char('\n'))));
  }

  // The check above tells a label that interprets its text from one that shows it as it stands.
  void theRichTextCheckSeesWhatAQLabelDoesByDefault() {
    QWidget page;
    auto* label = new QLabel(QStringLiteral("<a href=\"http://e.invalid\">y</a>"), &page);
    QCOMPARE(RichLabels(&page).size(), 1);
    CSubPage::SetPlainText(label, label->text());
    QVERIFY(RichLabels(&page).isEmpty());
    QCOMPARE(label->text(), QStringLiteral("<a href=\"http://e.invalid\">y</a>"));
  }

  void tabFollowsTheVisualOrderOnEveryPage() {
    WindowOnFakes f;
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    w.resize(760, 600);
    w.show();
    QStringList wrong;
    int pagesChecked = 0;
    for (int i = 0; i < w.pageArea()->count(); ++i) {
      w.page(i)->Prepare();
      w.pageArea()->ShowPage(i);
      QCoreApplication::processEvents();
      const QList<QWidget*> stops = TabStops(w.page(i));
      if (stops.isEmpty()) continue;
      ++pagesChecked;
      const QList<QWidget*> visual = VisualOrder(w.page(i), stops);
      const QList<QWidget*> tab = TabOrder(visual.first(), stops);
      if (tab != visual)
        wrong << QStringLiteral("%1\n  seen: %2\n  tab:  %3")
                     .arg(QLatin1String(w.page(i)->metaObject()->className()), Names(visual),
                          Names(tab));
    }
    QCOMPARE(pagesChecked, w.pageArea()->count());
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
  }

  // The list is the keyboard user's double-click: Enter on a row opens the camera's page in the
  // real window; elsewhere Enter and Escape stay swallowed.
  void enterOnTheCameraListOpensTheCameraInTheWindow() {
    WindowOnFakes f;
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    w.show();
    FakeDiscoveryRig rig;
    rig.net->hosts = std::vector<std::uint32_t>{MakeIpv4(10, 0, 0, 5)};
    auto* search = qobject_cast<CSubSearchNet*>(w.page(nav::kPageSearch));
    QVERIFY(search != nullptr);
    search->SetDiscoveryEnvironment(rig.Environment());
    w.session().pathSetup = 1;
    w.OnStep(nav::kStepSearch);
    search->searchButton()->click();
    search->OnTimer();
    ReplySpec camera = NumberedCamera(1);
    rig.net->DeliverAll(MakeReply(camera));
    search->OnTimer();
    QTreeWidget* list = search->cameraList();
    QCOMPARE(list->topLevelItemCount(), 1);
    list->topLevelItem(0)->setSelected(true);
    list->setCurrentItem(list->topLevelItem(0));

    QTest::keyClick(list, Qt::Key_Escape);
    QTest::keyClick(search->nextButton(), Qt::Key_Return);
    WindowOnFakes::Settle();
    QVERIFY(f.fakes.browser.opened.empty());
    QCOMPARE(w.pageArea()->current(), static_cast<int>(nav::kPageSearch));
    QVERIFY(w.isVisible());

    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(f.fakes.browser.opened.size(), std::size_t{1});
    QTest::keyClick(list, Qt::Key_Enter);
    QCOMPARE(f.fakes.browser.opened.size(), std::size_t{2});
    WindowOnFakes::Settle();
    QCOMPARE(w.pageArea()->current(), static_cast<int>(nav::kPageSearch));
  }

  // The link server's list too: the window lets Enter through to it, and it opens the row.
  void enterOnTheLinkServerListOpensTheCameraInTheWindow() {
    WindowOnFakes f;
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    w.show();
    w.OnStep(nav::kStepLinkServerList);
    auto* servers = qobject_cast<CSubLinkSer*>(w.page(nav::kPageLinkServerList));
    QVERIFY(servers != nullptr);
    LinkServerCameraEntry camera;
    camera.ID = "SN1";
    camera.IP = "10.0.0.10";
    camera.Port = "8080";
    servers->SetCameras({camera});
    servers->Prepare();
    QTreeWidget* list = servers->cameraList();
    QCOMPARE(list->topLevelItemCount(), 1);
    list->topLevelItem(0)->setSelected(true);
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(f.fakes.browser.opened.size(), std::size_t{1});
    QCOMPARE(f.fakes.browser.opened[0].toString(), QStringLiteral("http://10.0.0.10:8080"));
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowPagesGenericTest)
#include "window_pages_generic_test.moc"
