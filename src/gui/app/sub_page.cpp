#include "gui/app/sub_page.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFont>
#include <QLabel>
#include <QPalette>

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
  MessageRequest request;
  request.icon = icon;
  request.caption = caption;
  request.text = text;
  request.buttons = buttons;
  if (m_services == nullptr || m_services->prompter == nullptr)
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  return m_services->prompter->Show(this, request);
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
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

}  // namespace orv::gui
