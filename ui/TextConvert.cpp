#include "ui/TextConvert.h"

#include "core/Gb18030.h"

namespace ui {

QString toQString(const core::Text& text)
{
    auto utf8 = core::utf8FromText(text);
    return utf8 ? QString::fromStdString(*utf8) : QString();
}

core::Text toText(const QString& string)
{
    return core::textFromUtf8(string.toStdString()).value_or(core::Text());
}

} // namespace ui
