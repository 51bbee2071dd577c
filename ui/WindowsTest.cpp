#include "ui/Assets.h"
#include "ui/ContactWindow.h"
#include "ui/DownloadServer.h"
#include "ui/EditBox.h"
#include "ui/Hyperlink.h"
#include "ui/JpegImage.h"
#include "ui/MainWindow.h"
#include "ui/Palette.h"
#include "ui/PictureButton.h"
#include "ui/TransparentLabel.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <map>
#include <span>

using namespace ui;

namespace {

struct ControlRow {
    const char* name;
    const char* kind; // class name, or a component kind
    const char* parent; // nullptr: the window
    int left, top, width, height;
};

// Creation order is stacking order among siblings: earlier lies above later.
const ControlRow kMainControls[] = {
    { "外形框2", "ui::ShapeBox", nullptr, 0, 160, 304, 24 },
    { "图形按钮2", "ui::PictureButton", "外形框12", 248, 1, 16, 15 },
    { "超级链接框2", "ui::Hyperlink", "外形框12", 174, 1, 56, 15 },
    { "超级链接框1", "ui::Hyperlink", "外形框12", 117, 1, 56, 15 },
    { "编辑框3", "ui::EditBox", "外形框7", 37, 1, 186, 16 },
    { "停止_外形框2", "ui::ShapeBox", "外形框7", 227, 0, 54, 18 },
    { "复制标签", "ui::TransparentLabel", "停止_外形框2", 4, 3, 48, 14 },
    { "停止_外形框1", "ui::ShapeBox", "外形框3", 191, 0, 37, 18 },
    { "清除标签1", "ui::TransparentLabel", "停止_外形框1", 4, 3, 28, 11 },
    { "服务器1", "ui::DownloadServer", nullptr, 0, 0, 0, 0 },
    { "编辑框4", "ui::EditBox", "外形框3", 36, 1, 163, 16 },
    { "通用对话框1", "ui::OpenFileDialog", nullptr, 0, 0, 0, 0 },
    { "外形框13", "ui::ShapeBox", nullptr, 33, 77, 1, 50 },
    { "外形框7", "ui::ShapeBox", nullptr, 1, 110, 281, 18 },
    { "显示标签2", "ui::TransparentLabel", "外形框7", 5, 3, 24, 13 },
    { "停止_外形框", "ui::ShapeBox", nullptr, 228, 93, 54, 18 },
    { "开始_外形框", "ui::ShapeBox", nullptr, 228, 76, 54, 18 },
    { "编辑框1", "ui::EditBox", nullptr, 37, 77, 190, 16 },
    { "外形框3", "ui::ShapeBox", nullptr, 1, 93, 231, 18 },
    { "显示标签1", "ui::TransparentLabel", "外形框3", 5, 3, 25, 13 },
    { "外形框6", "ui::ShapeBox", nullptr, 1, 76, 228, 18 },
    { "显示标签", "ui::TransparentLabel", "外形框6", 5, 3, 24, 13 },
    { "外形框1", "ui::ShapeBox", nullptr, 22, 93, 205, 2 },
    { "外形框12", "ui::ShapeBox", "外形框8", 0, 1, 300, 17 },
    { "图形按钮1", "ui::PictureButton", "外形框12", 265, 1, 16, 15 },
    { "布局颜色时钟", "QTimer", nullptr, 0, 0, 0, 0 },
    { "清除标签", "ui::TransparentLabel", "停止_外形框", 4, 3, 48, 11 },
    { "透明标签7", "ui::TransparentLabel", "外形框12", 9, 1, 117, 14 },
    { "外形框10", "ui::ShapeBox", nullptr, 281, -3, 6, 366 },
    { "外形框9", "ui::ShapeBox", nullptr, -1, -7, 3, 371 },
    { "外形框4", "ui::ShapeBox", nullptr, 0, 76, 281, 2 },
    { "载入标签", "ui::TransparentLabel", "开始_外形框", 4, 3, 48, 12 },
    { "外形框8", "ui::ShapeBox", nullptr, 0, 0, 300, 18 },
    { "图片框1", "ui::PictureBox", nullptr, 2, 18, 280, 59 },
};

const ControlRow kContactControls[] = {
    { "图形按钮1", "ui::PictureButton", nullptr, 228, 1, 16, 15 },
    { "透明标签7", "ui::TransparentLabel", "外形框2", 5, 2, 107, 14 },
    { "透明标签1", "ui::TransparentLabel", "外形框1", 74, 4, 176, 16 },
    { "超级链接框3", "ui::Hyperlink", "外形框1", 12, 4, 56, 16 },
    { "外形框3", "ui::ShapeBox", nullptr, 243, 0, 3, 371 },
    { "外形框9", "ui::ShapeBox", nullptr, -1, -1, 3, 371 },
    { "外形框1", "ui::ShapeBox", nullptr, -8, 114, 304, 24 },
    { "外形框2", "ui::ShapeBox", nullptr, 0, 0, 245, 17 },
    { "编辑框1", "ui::MultiLineEditBox", nullptr, 0, 13, 248, 102 },
};

QObject* child(QObject* window, const char* name)
{
    return window->findChild<QObject*>(QString::fromUtf8(name));
}

void checkControlTree(QWidget* window, std::span<const ControlRow> rows)
{
    std::map<QObject*, std::vector<QObject*>> createdUnder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QObject* control = child(window, row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), row.kind);
        QObject* parent = row.parent ? child(window, row.parent) : window;
        EXPECT_EQ(control->parent(), parent);
        createdUnder[parent].push_back(control);
        if (auto* widget = qobject_cast<QWidget*>(control)) {
            EXPECT_EQ(widget->geometry(), QRect(row.left, row.top, row.width, row.height));
            EXPECT_TRUE(widget->isVisible());
        }
    }
    // children() lists siblings bottom to top: the reverse of creation order.
    for (auto& [parent, created] : createdUnder) {
        std::vector<QObject*> widgets;
        for (QObject* object : parent->children())
            if (qobject_cast<QWidget*>(object) && !object->objectName().isEmpty())
                widgets.push_back(object);
        std::vector<QObject*> expected;
        for (auto it = created.rbegin(); it != created.rend(); ++it)
            if (qobject_cast<QWidget*>(*it))
                expected.push_back(*it);
        EXPECT_EQ(widgets, expected) << "stacking under " << parent->objectName().toStdString();
    }
}

std::unique_ptr<MainWindow> makeMainWindow(core::ShareState& state)
{
    auto window = std::make_unique<MainWindow>(
        state, MainWindowSettings { .downloadPort = 0, .services = {} });
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    return window;
}

TEST(WindowsTest, MainWindowControlTree)
{
    core::ShareState state;
    auto window = makeMainWindow(state);
    EXPECT_EQ(window->size(), QSize(283, 168));
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("禾渡文件传送"));
    checkControlTree(window.get(), kMainControls);

    auto* timer = window->findChild<QTimer*>(QStringLiteral("布局颜色时钟"));
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), kMinimumTimerInterval);
    EXPECT_TRUE(window->downloadServer().server().isListening());
}

TEST(WindowsTest, ContactWindowControlTreeAndText)
{
    ContactWindow window;
    window.show();
    EXPECT_EQ(window.size(), QSize(245, 137));
    checkControlTree(&window, kContactControls);

    const QString expected = QStringLiteral("\r\n"
                                            "   感谢您对禾渡软件编程工作室的支持\r\n"
                                            "\r\n"
                                            "   如果您有好的建议和想法可以告诉我们\r\n"
                                            "    \r\n"
                                            "   我们的联系方式 QQ：123456\r\n"
                                            "\r\n"
                                            "   邮件地址：contact@hedu.example \r\n"
                                            "\r\n"
                                            "                    欢迎您给我们写信");
    EXPECT_EQ(ContactWindow::contactText(), expected);
    auto* box = window.findChild<MultiLineEditBox*>(QStringLiteral("编辑框1"));
    EXPECT_EQ(box->document()->blockCount(), 10);
    EXPECT_EQ(box->toPlainText(),
        QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(ContactWindow::chatAddress(), QStringLiteral("tencent://message/?uin=123456"));
}

TEST(WindowsTest, RenderedMainWindowShowsThePalette)
{
    core::ShareState state;
    auto window = makeMainWindow(state);
    QImage image = window->grab().toImage();
    ASSERT_EQ(image.size(), QSize(283, 168));
    struct Probe {
        const char* what;
        QPoint at;
        QColor expected;
    };
    const Probe probes[] = {
        { "window background below the rows", { 100, 140 }, palette::kWindow },
        { "bottom bar", { 100, 165 }, palette::kNormal },
        { "left edge", { 0, 100 }, palette::kNormal },
        { "right edge", { 282, 100 }, palette::kNormal },
        { "outline of the file row's frame", { 120, 76 }, palette::kNormal },
        { "inside of the title bar", { 238, 9 }, palette::kWindow },
        { "background of the path box", { 100, 85 }, palette::kWindow },
        { "separator line", { 33, 120 }, palette::kNormal },
        { "a title-bar link's background", { 120, 3 }, palette::kNormal },
        { "close button, button blue", { 266, 3 }, palette::kButtonBlue },
    };
    for (const auto& probe : probes) {
        SCOPED_TRACE(probe.what);
        EXPECT_EQ(image.pixelColor(probe.at), probe.expected);
    }
    // The CJK captions have a font that draws them, and "载入文件" fills its label exactly.
    QFontMetrics metrics(QApplication::font());
    EXPECT_TRUE(metrics.inFont(QChar(0x8f7d)));
    EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("载入文件")), 48);
}

TEST(WindowsTest, TitleShadowIsTheTextMovedTwoPixels)
{
    QWidget canvas;
    canvas.setAutoFillBackground(true);
    canvas.setPalette(QPalette(Qt::white));
    canvas.resize(120, 20);
    TransparentLabel plain(QStringLiteral("禾渡文件传送"), Qt::black,
        TransparentLabel::Alignment::Left, TransparentLabel::Shadow::No, &canvas);
    plain.setGeometry(4, 2, 110, 14);
    QImage ink = canvas.grab().toImage();
    plain.hide();
    // Drawn in the background's own colour, only the shadow remains visible.
    TransparentLabel shadowed(QStringLiteral("禾渡文件传送"), Qt::white,
        TransparentLabel::Alignment::Left, TransparentLabel::Shadow::Yes, &canvas);
    shadowed.setGeometry(4, 2, 110, 14);
    QImage shadow = canvas.grab().toImage();

    int shadowPixels = 0;
    for (int y = 2; y < shadow.height(); ++y)
        for (int x = 2; x < shadow.width(); ++x)
            if (qGray(shadow.pixel(x, y)) < 64) {
                ++shadowPixels;
                EXPECT_LT(qGray(ink.pixel(x - 2, y - 2)), 200) << x << "," << y;
            }
    EXPECT_GT(shadowPixels, 50);
}

TEST(WindowsTest, BannerIsDecodedByLibjpeg)
{
    QImage banner = assets::banner();
    EXPECT_EQ(banner.size(), QSize(270, 58));
    // Bad data gives a null image instead of ending the process.
    static constexpr char kNotAJpeg[] = "\xff\xd8\xff\xe0 not really a jpeg";
    EXPECT_TRUE(decodeJpeg(QByteArray(kNotAJpeg, sizeof kNotAJpeg - 1)).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray()).isNull());
}

TEST(WindowsTest, ButtonPicturesAndStates)
{
    QImage normal = assets::buttonPicture(assets::Glyph::Cross, assets::GlyphColour::White);
    QImage hover = assets::buttonPicture(assets::Glyph::Cross, assets::GlyphColour::Window);
    EXPECT_EQ(normal.size(), QSize(16, 16));
    EXPECT_EQ(normal.pixelColor(0, 0), palette::kButtonBlue);
    EXPECT_EQ(normal.pixelColor(4, 4), QColor(Qt::white));
    EXPECT_EQ(hover.pixelColor(4, 4), palette::kWindow);

    PictureButton button(normal, hover);
    button.resize(16, 15);
    int clicks = 0;
    QObject::connect(&button, &PictureButton::clicked, [&] { ++clicks; });
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.state(), PictureButton::State::Hover);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(button.state(), PictureButton::State::Pressed);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 30)); // released elsewhere
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(clicks, 1);
}

TEST(WindowsTest, TabGoesRoundTheThreeEditBoxes)
{
    core::ShareState state;
    auto window = makeMainWindow(state);
    QApplication::setActiveWindow(window.get());
    auto* path = window->findChild<QWidget*>(QStringLiteral("编辑框1"));
    auto* length = window->findChild<QWidget*>(QStringLiteral("编辑框4"));
    auto* address = window->findChild<QWidget*>(QStringLiteral("编辑框3"));
    path->setFocus();
    QWidget* seen[4] = {};
    for (auto& widget : seen) {
        widget = QApplication::focusWidget();
        QTest::keyClick(widget, Qt::Key_Tab);
    }
    EXPECT_EQ(seen[0], path);
    EXPECT_EQ(seen[1], length);
    EXPECT_EQ(seen[2], address);
    EXPECT_EQ(seen[3], path);
    path->setFocus();
    QTest::keyClick(path, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), address);
}

TEST(WindowsTest, EscFromAnEditBoxClosesTheMainWindow)
{
    core::ShareState state;
    QPointer<MainWindow> window
        = new MainWindow(state, MainWindowSettings { .downloadPort = 0, .services = {} });
    window->show();
    auto* address = window->findChild<QLineEdit*>(QStringLiteral("编辑框3"));
    QTest::keyClicks(address, QStringLiteral("typed"));
    EXPECT_EQ(address->text(), QStringLiteral("typed"));
    QTest::keyClick(address, Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(address, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST(WindowsTest, ContactWindowIsModalAndEscClosesOnlyIt)
{
    core::ShareState state;
    auto window = makeMainWindow(state);
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        auto* contact = qobject_cast<ContactWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(contact, nullptr);
        sawModal = contact->isModal() && contact->size() == QSize(245, 137);
        auto* text = contact->findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"));
        QTest::keyClick(text, Qt::Key_Escape);
    });
    window->openContactWindow();
    EXPECT_TRUE(sawModal);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(WindowsTest, TitleBarButtonsMinimiseAndCloseAfterTheClick)
{
    core::ShareState state;
    QPointer<MainWindow> window
        = new MainWindow(state, MainWindowSettings { .downloadPort = 0, .services = {} });
    window->show();
    auto* minimise = window->findChild<PictureButton*>(QStringLiteral("图形按钮2"));
    auto* close = window->findChild<PictureButton*>(QStringLiteral("图形按钮1"));

    QTest::mouseClick(minimise, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(window->isMinimized());
    window->showNormal();

    QTest::mouseClick(close, Qt::LeftButton, {}, QPoint(8, 8));
    // The handler has returned and the window is still there; the close comes from the loop.
    EXPECT_TRUE(window->isVisible());
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

// Stands in for the desktop's default handlers: records what links ask to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(WindowsTest, LinksOpenTheirTargetsAndStillReportThePress)
{
    UrlRecorder recorder;
    for (const char* scheme : { "http", "tencent" })
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");

    core::ShareState state;
    auto window = makeMainWindow(state);
    auto* site = window->findChild<Hyperlink*>(QStringLiteral("超级链接框1"));
    auto* contact = window->findChild<Hyperlink*>(QStringLiteral("超级链接框2"));
    int sitePresses = 0;
    QObject::connect(site, &Hyperlink::pressed, [&] { ++sitePresses; });
    QTest::mousePress(site, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened[0], QUrl(QStringLiteral("http://www.hedu.example")));
    EXPECT_EQ(sitePresses, 1);
    EXPECT_TRUE(site->isVisited());
    EXPECT_EQ(site->captionColour(), palette::kWindow); // visited looks like plain

    // An empty target opens nothing; the press still reaches the window (its contact binding).
    bool contactOpened = false;
    QTimer::singleShot(0, [&] {
        if (auto* modal = qobject_cast<ContactWindow*>(QApplication::activeModalWidget())) {
            contactOpened = true;
            auto* chat = modal->findChild<Hyperlink*>(QStringLiteral("超级链接框3"));
            QTest::mousePress(chat, Qt::LeftButton, {}, QPoint(5, 5));
            modal->close();
        }
    });
    QTest::mousePress(contact, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(contactOpened);
    ASSERT_EQ(recorder.opened.size(), 2);
    EXPECT_EQ(recorder.opened[1], QUrl(QStringLiteral("tencent://message/?uin=123456")));

    for (const char* scheme : { "http", "tencent" })
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

} // namespace

#include "WindowsTest.moc"
