#pragma once
// The common frame of a wizard page: the title line on top, the page's own controls in the middle,
// and the Back and Next (or Finish, Save) buttons at the bottom right, in that tab order.

#include <QString>

class QVBoxLayout;
class QLabel;

namespace orv::gui {

class CSubPage;
class CXButtonXP;

struct PageFrame {
  QVBoxLayout* body = nullptr;  // the page's own controls go here
  CXButtonXP* back = nullptr;   // null when the page has none
  CXButtonXP* next = nullptr;   // Next, Finish or Save; null when the page has none
};

PageFrame BuildPageFrame(CSubPage* page, QLabel* title, bool withBack, bool withNext);

}  // namespace orv::gui
