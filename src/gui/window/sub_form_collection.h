#pragma once
// The page area: every page of the wizard, created once and addressed by its index, exactly one
// shown at a time.

#include <QPointer>
#include <QWidget>
#include <vector>

namespace orv::gui {

class CSubPage;

class CSubFormCollection : public QWidget {
  Q_OBJECT
 public:
  explicit CSubFormCollection(QWidget* parent = nullptr);

  // Takes the page as a child placed at the area's top-left corner, hidden. A null page is refused.
  bool AddPage(CSubPage* page);
  // Makes index current without showing anything; refused unless 0 <= index < count.
  bool SetCurrent(int index);
  // Shows index (hiding the current page first), or with -1 the current page again (page 0 when
  // none is current). Refused for other out-of-range indexes, and when a page to hide or show has
  // gone.
  bool ShowPage(int index);

  int current() const { return m_current; }
  int count() const { return static_cast<int>(m_pages.size()); }
  CSubPage* page(int index) const;
  CSubPage* currentPage() const { return page(m_current); }

  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  std::vector<QPointer<CSubPage>> m_pages;
  int m_current = -1;
};

}  // namespace orv::gui
