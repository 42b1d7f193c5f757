#include "gui/frame/sub_page.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QColor>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QTimer>
#include <utility>

#include "gui/widgets/light_palette.h"

namespace orv::gui {

CSubPage::CSubPage(QWidget* parent) : QWidget(parent), m_title(new QLabel(this)) {
  m_title->setObjectName(QStringLiteral("titleLine"));
  QFont font = m_title->font();
  font.setPointSizeF(font.pointSizeF() * 1.5);
  m_title->setFont(font);
  m_title->setWordWrap(true);
  m_title->setTextFormat(Qt::PlainText);
}

void CSubPage::Wire(StepSink* sink, SessionRecord* session, UiServices* services) {
  m_sink = sink;
  m_session = session;
  m_services = services;
}

void CSubPage::PostStep(int code) {
  if (m_sink != nullptr) m_sink->PostStep(code);
}

MessageAnswer CSubPage::Message(MessageIcon icon, const QString& caption, const QString& text,
                                MessageButtons buttons) {
  const MessageRequest request{icon, caption, text, buttons};
  if (m_services == nullptr || m_services->prompter == nullptr)
    return buttons == MessageButtons::YesNo      ? MessageAnswer::No
           : buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel
                                                 : MessageAnswer::Ok;
  return m_services->prompter->Show(this, request);
}

void CSubPage::NotifyLeft() {
  ++m_visit;
  Leave();
}

bool CSubPage::RunPageWork(PageWork work) {
  if (m_sink == nullptr || m_services == nullptr || m_services->calls == nullptr || !work)
    return false;
  if (!m_sink->BeginPageWork()) return false;
  const std::uint64_t visit = m_visit;
  // The runner calls the continuation only while this page lives.
  m_services->calls->Run(this, [this, visit, work = std::move(work)]() -> CallRunner::Continuation {
    std::function<void()> done = work();
    return [this, visit, done = std::move(done)] {
      if (m_sink->Closing()) return;
      m_sink->EndPageWork();
      if (m_visit == visit && done) done();
    };
  });
  return true;
}

void CSubPage::SetPlainText(QLabel* label, const QString& text) {
  label->setTextFormat(Qt::PlainText);
  label->setOpenExternalLinks(false);
  Qt::TextInteractionFlags flags = label->textInteractionFlags();
  flags.setFlag(Qt::LinksAccessibleByMouse, false);
  flags.setFlag(Qt::LinksAccessibleByKeyboard, false);
  label->setTextInteractionFlags(flags);
  label->setText(text);
}

namespace {
constexpr char kTakesEnterProperty[] = "orvantisTakesEnter";
}  // namespace

void CSubPage::LetEnterThrough(QWidget* control) {
  control->setProperty(kTakesEnterProperty, true);
}

bool CSubPage::TakesEnter(const QWidget* control) {
  return control != nullptr && control->property(kTakesEnterProperty).toBool();
}

namespace {

bool MovesThroughRows(int key) {
  return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End ||
         key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

// Lives as the list's child. Enter or Return runs open. An arrow key selects the row it lands on,
// as in every list a person knows (the view alone may only move its focus frame, for instance onto
// the first row when nothing was current): once the view has handled the key, its current row is
// made the selected one.
class KeyboardRows final : public QObject {
 public:
  KeyboardRows(QAbstractItemView* list, std::function<void()> open)
      : QObject(list), m_list(list), m_open(std::move(open)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* press = static_cast<QKeyEvent*>(event);
      const int key = press->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_open();
        return true;
      }
      if (MovesThroughRows(key) && press->modifiers() == Qt::NoModifier)
        QTimer::singleShot(0, m_list, [list = m_list] { SelectCurrentRow(list); });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  static void SelectCurrentRow(QAbstractItemView* list) {
    const QModelIndex current = list->currentIndex();
    if (current.isValid() &&
        !list->selectionModel()->isRowSelected(current.row(), current.parent()))
      list->selectionModel()->select(
          current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }

  QAbstractItemView* m_list;
  std::function<void()> m_open;
};

}  // namespace

void CSubPage::MakeKeyboardList(QAbstractItemView* list, std::function<void()> open) {
  LetEnterThrough(list);
  list->installEventFilter(new KeyboardRows(list, std::move(open)));
}

void CSubPage::SetTitle(const QString& text) {
  m_title->setText(text);
  m_title->setAccessibleName(text);
}

void CSubPage::SetCaption(QAbstractButton* button, const QString& text) {
  button->setText(text);
  button->setAccessibleName(text);
}

void CSubPage::PaintWhite() {
  setAutoFillBackground(true);
  setPalette(LightPalette(palette(), Qt::white));
}

}  // namespace orv::gui
