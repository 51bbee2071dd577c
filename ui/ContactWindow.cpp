#include "ui/ContactWindow.h"

#include "ui/Assets.h"
#include "ui/EditBox.h"
#include "ui/Hyperlink.h"
#include "ui/Maker.h"
#include "ui/Palette.h"
#include "ui/PictureButton.h"
#include "ui/Placement.h"
#include "ui/ShapeBox.h"
#include "ui/TransparentLabel.h"
#include "ui/WindowDrag.h"

namespace ui {

namespace {

constexpr int kWidth = 245;
constexpr int kHeight = 137;

ShapeBox* bar(const char* name)
{
    return named(new ShapeBox({ ShapeBox::Shape::Rectangle, palette::kNormal, 1, palette::kNormal,
                     std::nullopt }),
        name);
}

} // namespace

QString ContactWindow::contactText()
{
    const QString account = QString::fromLatin1(maker::kImAccount);
    const QString email = QString::fromLatin1(maker::kEmail);
    const QStringList lines = {
        QString(),
        QStringLiteral("   感谢您对禾渡软件编程工作室的支持"),
        QString(),
        QStringLiteral("   如果您有好的建议和想法可以告诉我们"),
        QStringLiteral("    "),
        QStringLiteral("   我们的联系方式 QQ：") + account,
        QString(),
        QStringLiteral("   邮件地址：") + email + QLatin1Char(' '),
        QString(),
        QStringLiteral("                    欢迎您给我们写信"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString ContactWindow::chatAddress()
{
    return QStringLiteral("tencent://message/?uin=") + QString::fromLatin1(maker::kImAccount);
}

ContactWindow::ContactWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("ContactWindow"));
    setWindowTitle(QString());
    setModal(true);
    setUpBorderlessWindow(this, kWidth, kHeight);

    using namespace palette;
    auto* closeButton = named(
        new PictureButton(assets::buttonPicture(assets::Glyph::Cross, assets::GlyphColour::White),
            assets::buttonPicture(assets::Glyph::Cross, assets::GlyphColour::Window)),
        "图形按钮1");
    auto* title
        = named(new TransparentLabel(QStringLiteral("禾渡工作室联系方式"), kWindow), "透明标签7");
    auto* hint = named(
        new TransparentLabel(QStringLiteral("← 点击这里使用腾讯QQ临时会话"), kWindow), "透明标签1");
    auto* chatLink = named(new Hyperlink(QStringLiteral("临时会话"), chatAddress(),
                               { kNormal, kWindow, kWindow, kWindow }, Hyperlink::Frame::Thin),
        "超级链接框3");
    auto* rightEdge = bar("外形框3");
    auto* leftEdge = bar("外形框9");
    auto* bottomBar = bar("外形框1");
    auto* titleBar = bar("外形框2");
    auto* text = named(new MultiLineEditBox(contactText(), kNormal, kWindow), "编辑框1");

    place(closeButton, this, 228, 1, 16, 15);
    place(title, titleBar, 5, 2, 107, 14);
    place(hint, bottomBar, 74, 4, 176, 16);
    place(chatLink, bottomBar, 12, 4, 56, 16);
    place(rightEdge, this, 243, 0, 3, 371);
    place(leftEdge, this, -1, -1, 3, 371);
    place(bottomBar, this, -8, 114, 304, 24);
    place(titleBar, this, 0, 0, 245, 17);
    place(text, this, 0, 13, 248, 102);

    connect(closeButton, &PictureButton::clicked, this, [this] {
        // Destroyed once this handler has returned.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
}

int ContactWindow::exec()
{
    centreOnScreen(this);
    return QDialog::exec();
}

} // namespace ui
