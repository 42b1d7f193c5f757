#pragma once
// The camera's web page, as the browser opens it: http://ADDRESS:PORT.

#include <QString>
#include <QUrl>

#include "core/app/camera_pick.h"
#include "core/util/ipv4.h"

namespace orv::gui {

inline QUrl CameraUrl(const CameraTarget& target) {
  QUrl url;
  url.setScheme(QStringLiteral("http"));
  url.setHost(QString::fromStdString(FormatIpv4(target.address)));
  url.setPort(target.port);
  return url;
}

}  // namespace orv::gui
