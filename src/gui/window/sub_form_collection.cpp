#include "gui/window/sub_form_collection.h"

#include <QResizeEvent>

#include "gui/frame/sub_page.h"

namespace orv::gui {

CSubFormCollection::CSubFormCollection(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pageArea"));
}

bool CSubFormCollection::AddPage(CSubPage* page) {
  if (page == nullptr) return false;
  page->setParent(this);
  page->setGeometry(rect());
  page->hide();
  m_pages.emplace_back(page);
  return true;
}

bool CSubFormCollection::SetCurrent(int index) {
  if (index < 0 || index >= count()) return false;
  m_current = index;
  return true;
}

bool CSubFormCollection::ShowPage(int index) {
  if (index < -1 || index >= count()) return false;
  if (index != -1) {
    // A page that has gone is refused before anything is hidden: the shown page stays.
    if (page(index) == nullptr) return false;
    if (m_current != -1) {
      CSubPage* old = page(m_current);
      if (old == nullptr) return false;
      if (m_current != index) {
        old->hide();
        old->NotifyLeft();
      }
    }
    m_current = index;
  } else if (m_current == -1) {
    if (count() == 0) return false;
    m_current = 0;
  }
  CSubPage* shown = page(m_current);
  if (shown == nullptr) return false;
  shown->setGeometry(rect());
  shown->show();
  shown->raise();
  shown->update();
  return true;
}

CSubPage* CSubFormCollection::page(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return m_pages[static_cast<std::size_t>(index)].data();
}

QSize CSubFormCollection::sizeHint() const {
  QSize hint(560, 400);
  for (const auto& p : m_pages)
    if (p) hint = hint.expandedTo(p->sizeHint());
  return hint;
}

void CSubFormCollection::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  for (const auto& p : m_pages)
    if (p) p->setGeometry(rect());
}

}  // namespace orv::gui
