// Conversions between the layer's colours, fonts and texts and Qt's (layer-internal: includes
// Qt), shared by the application, the dialogs and the controls.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "platform/drawing/Colors.h"
#include "platform/drawing/Graphics.h"

namespace plat {

QColor ToQColor(TColor color);
QFont ToQFont(const TFont& font);
// Qt text with '&' mnemonics kept, plain text hints converted (a '<b>' hint stays text).
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

}  // namespace plat
