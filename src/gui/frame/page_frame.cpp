#include "gui/frame/page_frame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/frame/sub_page.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

PageFrame BuildPageFrame(CSubPage* page, QLabel* title, bool withBack, bool withNext) {
  PageFrame frame;
  auto* outer = new QVBoxLayout(page);
  if (title != nullptr) outer->addWidget(title);
  frame.body = new QVBoxLayout();
  outer->addLayout(frame.body, 1);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  if (withBack) {
    frame.back = new CXButtonXP(page);
    frame.back->setObjectName(QStringLiteral("back"));
    buttons->addWidget(frame.back);
  }
  if (withNext) {
    frame.next = new CXButtonXP(page);
    frame.next->setObjectName(QStringLiteral("next"));
    buttons->addWidget(frame.next);
  }
  outer->addLayout(buttons);
  if (frame.back != nullptr && frame.next != nullptr) QWidget::setTabOrder(frame.back, frame.next);
  return frame;
}

}  // namespace orv::gui
