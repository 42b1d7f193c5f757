#include "gui/frame/page_frame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/frame/sub_page.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

PageFrame BuildPageFrame(CSubPage* page, QLabel* title, bool withBack, bool withNext,
                         const QString& backCaption, const QString& nextCaption) {
  PageFrame frame;
  auto* outer = new QVBoxLayout(page);
  if (title != nullptr) outer->addWidget(title);
  frame.body = new QVBoxLayout();
  outer->addLayout(frame.body, 1);
  if (!withBack && !withNext) return frame;
  frame.buttons = new QHBoxLayout();
  frame.buttons->addStretch(1);
  if (withBack) {
    frame.back = new CXButtonXP(backCaption, page);
    frame.back->setObjectName(QStringLiteral("back"));
    frame.buttons->addWidget(frame.back);
  }
  if (withNext) {
    frame.next = new CXButtonXP(nextCaption, page);
    frame.next->setObjectName(QStringLiteral("next"));
    frame.buttons->addWidget(frame.next);
  }
  outer->addLayout(frame.buttons);
  if (frame.back != nullptr && frame.next != nullptr) QWidget::setTabOrder(frame.back, frame.next);
  return frame;
}

}  // namespace orv::gui
