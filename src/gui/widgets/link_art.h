#pragma once
// The pictures of the home page and the connection-diagram page, drawn as vector art so that they
// stay sharp at any device pixel ratio. Each has a fixed logical size and is drawn unscaled from
// the top-left corner of its frame, clipped to the frame.

#include <QSize>
#include <QWidget>

class QPainter;

namespace orv::gui::art {

enum class Picture {
  None,
  HomePppoe,       // PC dialling out through a modem; also the start picture of the home page
  HomeEthernet,    // PC behind a router on the Internet
  HomeNoInternet,  // PC on a LAN whose way out is cut
  DiagramStart,    // camera, power and network cable before a link is chosen
  DiagramLan,      // camera cabled to the router the PC is on
  DiagramWireless  // camera cabled for set-up, then reaching the router over the air
};

QSize PictureSize(Picture picture);
void PaintPicture(QPainter& painter, Picture picture);

// Shows one picture at its logical size from the top-left corner, clipped to the widget.
class CArtView : public QWidget {
  Q_OBJECT
 public:
  explicit CArtView(QWidget* parent = nullptr);
  void SetPicture(Picture picture);
  Picture picture() const { return m_picture; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Picture m_picture = Picture::None;
};

}  // namespace orv::gui::art
