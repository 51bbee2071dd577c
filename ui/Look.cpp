#include "ui/Look.h"

#include "ui/Assets.h"

#include <QApplication>
#include <QFont>

namespace ui {

void applyApplicationLook(QApplication& application)
{
    QFont font(QStringLiteral("Sans Serif"));
    // The layout is fixed in pixels; 12 px keeps every caption inside its control.
    font.setFamilies({ QStringLiteral("Sans Serif"), QStringLiteral("WenQuanYi Micro Hei") });
    font.setPixelSize(12);
    QApplication::setFont(font);
    application.setWindowIcon(assets::applicationIcon());
}

} // namespace ui
