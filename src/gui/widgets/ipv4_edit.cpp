#include "gui/widgets/ipv4_edit.h"

#include <QLabel>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "core/app/address_rules.h"
#include "core/util/ipv4.h"

namespace orv::gui {

namespace {

// Up to four octets of 0-255 with dots between; any of them may still be empty while typing.
QValidator* MakeValidator(QObject* parent) {
  const QString octet = QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])?");
  const QRegularExpression quad(QStringLiteral("%1(\\.%1){0,3}").arg(octet));
  return new QRegularExpressionValidator(quad, parent);
}

}  // namespace

CIpv4Edit::CIpv4Edit(QWidget* parent) : QLineEdit(parent) {
  setValidator(MakeValidator(this));
  // "255.255.255.255" is the longest text; loaded values are formatted, so never longer.
  setMaxLength(15);
  setInputMethodHints(Qt::ImhPreferNumbers);
  connect(this, &QLineEdit::textEdited, this, &CIpv4Edit::addressEdited);
}

void CIpv4Edit::SetAddressText(std::string_view recordText) {
  setText(QString::fromStdString(AddressFieldText(recordText)));
}

std::string CIpv4Edit::AddressText() const {
  return AddressFromTyped(text().toStdString());
}

std::uint32_t CIpv4Edit::Address() const {
  return ParseIpv4OrZero(AddressText());
}

void CIpv4Edit::SetLabel(QLabel* label) {
  label->setBuddy(this);
  setAccessibleName(label->text());
}

}  // namespace orv::gui
