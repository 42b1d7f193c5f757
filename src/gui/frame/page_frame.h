#pragma once
// The common frame of a wizard page: the title line on top, the page's own controls in the middle,
// and the Back and Next (or Finish, Save) buttons at the bottom right, in that tab order.

#include <QString>

class QHBoxLayout;
class QVBoxLayout;
class QLabel;

namespace orv::gui {

class CSubPage;
class CXButtonXP;

struct PageFrame {
  QVBoxLayout* body = nullptr;     // the page's own controls go here
  QHBoxLayout* buttons = nullptr;  // the row of Back and Next; null when the page has neither
  CXButtonXP* back = nullptr;      // null when the page has none
  CXButtonXP* next = nullptr;      // Next, Finish or Save; null when the page has none
};

// The captions stand until the pack's texts are loaded.
PageFrame BuildPageFrame(CSubPage* page, QLabel* title, bool withBack, bool withNext,
                         const QString& backCaption = {}, const QString& nextCaption = {});

}  // namespace orv::gui
