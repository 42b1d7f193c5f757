#include "gui/dialogs/sub_wait.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "gui/frame/ui_services.h"

namespace orv::gui {

CSubWait::CSubWait(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_progress(new QProgressBar(this)),
      m_text(new QLabel(this)) {
  setObjectName(QStringLiteral("waitWindow"));
  setWindowTitle(ProductCaption());
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  m_text->setWordWrap(true);
  m_text->setTextFormat(Qt::PlainText);
  m_progress->setTextVisible(false);
  layout->addWidget(m_text);
  layout->addWidget(m_progress);
  SetRange(0, 1000);
  setMinimumWidth(360);
}

void CSubWait::SetRange(int low, int high) {
  m_progress->setRange(low, high);
}

// The bar is only drawn up to its maximum; the timers count past it, so the position is kept here.
void CSubWait::SetPosition(int position) {
  m_progress->setValue(std::min(position, m_progress->maximum()));
  setProperty("position", position);
}

int CSubWait::position() const {
  return property("position").toInt();
}

void CSubWait::SetText(const QString& text) {
  m_text->setText(text);
  m_progress->setAccessibleName(text);
}

QString CSubWait::text() const {
  return m_text->text();
}

// Only the main window ends the wait.
void CSubWait::keyPressEvent(QKeyEvent* e) {
  e->ignore();
}
void CSubWait::closeEvent(QCloseEvent* e) {
  e->ignore();
}

}  // namespace orv::gui
