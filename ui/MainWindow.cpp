#include "ui/MainWindow.h"

#include "lookup/PublicAddress.h"
#include "ui/Assets.h"
#include "ui/ContactWindow.h"
#include "ui/DownloadServer.h"
#include "ui/EditBox.h"
#include "ui/Hyperlink.h"
#include "ui/Maker.h"
#include "ui/OpenFileDialog.h"
#include "ui/Palette.h"
#include "ui/PictureBox.h"
#include "ui/PictureButton.h"
#include "ui/Placement.h"
#include "ui/ShapeBox.h"
#include "ui/TextConvert.h"
#include "ui/TransparentLabel.h"
#include "ui/WindowDrag.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace ui {

namespace {

constexpr int kWidth = 283;
constexpr int kHeight = 168;
// The hover timer asks for 1 ms, as often as the desktop allows; the desktop raises that to its
// minimum.
constexpr int kHoverTimerRequest = 1;
constexpr int kHoverTimerPeriod = std::max(kHoverTimerRequest, kMinimumTimerInterval);

using Shape = ShapeBox::Shape;

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

ShapeBox* frame(const char* name, const QColor& fill)
{
    return named(new ShapeBox({ Shape::Rectangle, palette::kNormal, 1, fill, std::nullopt }), name);
}

ShapeBox* line(const char* name, Shape shape, std::optional<QColor> background)
{
    return named(new ShapeBox({ shape, palette::kNormal, 1, std::nullopt, background }), name);
}

TransparentLabel* label(const char* name, const char* text, const QColor& colour,
    TransparentLabel::Alignment alignment = TransparentLabel::Alignment::Left,
    TransparentLabel::Shadow shadow = TransparentLabel::Shadow::No)
{
    return named(new TransparentLabel(utf8(text), colour, alignment, shadow), name);
}

Hyperlink* titleLink(const char* name, const char* caption, const QString& target)
{
    Hyperlink::Colours colours { palette::kNormal, palette::kWindow, palette::kWindow,
        palette::kLinkHover };
    return named(new Hyperlink(utf8(caption), target, colours), name);
}

PictureButton* titleButton(const char* name, assets::Glyph glyph)
{
    return named(new PictureButton(assets::buttonPicture(glyph, assets::GlyphColour::White),
                     assets::buttonPicture(glyph, assets::GlyphColour::Window)),
        name);
}

} // namespace

// The controls the commands work on, reached through a guarded pointer: the window may be
// destroyed while a command dispatches events.
class MainWindow::Controls : public CommandControls {
public:
    explicit Controls(MainWindow* window)
        : m_window(window)
    {
    }

    void setDialogFileName(const core::Text& fileName) override
    {
        if (m_window)
            m_window->m_dialog->setFileName(toQString(fileName));
    }
    void showDialog() override
    {
        if (m_window)
            m_window->m_dialog->exec(m_window);
    }
    core::Text dialogFileName() const override
    {
        return m_window ? toText(m_window->m_dialog->fileName()) : core::Text();
    }
    void setPathDisplay(const core::Text& text) override { setText(&MainWindow::m_pathBox, text); }
    void setLengthDisplay(const core::Text& text) override
    {
        setText(&MainWindow::m_lengthBox, text);
    }
    void setAddressDisplay(const core::Text& text) override
    {
        setText(&MainWindow::m_addressBox, text);
    }
    core::Text addressDisplay() const override
    {
        return m_window ? toText(m_window->m_addressBox->text()) : core::Text();
    }
    bool isAlive() const override { return !m_window.isNull(); }

private:
    void setText(EditBox* MainWindow::*box, const core::Text& text)
    {
        if (m_window) {
            EditBox* edit = m_window->*box;
            edit->setText(toQString(text));
            // Long paths show their beginning, as a fresh box would.
            edit->setCursorPosition(0);
        }
    }

    QPointer<MainWindow> m_window;
};

MainWindow::MainWindow(core::ShareState& shareState, Settings settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_shareState(shareState)
    , m_services(std::move(settings.services))
{
    if (!m_services.fetchPublicAddress)
        m_services.fetchPublicAddress = [] { return lookup::fetchPublicAddress(); };
    if (!m_services.dispatchPendingEvents)
        m_services.dispatchPendingEvents = [] { QCoreApplication::processEvents(); };
    if (!m_services.setClipboardText)
        m_services.setClipboardText = [](const core::Text& text) {
            QGuiApplication::clipboard()->setText(toQString(text));
        };

    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(utf8("禾渡文件传送"));
    // Closing destroys the window; the process frame ends the run when it is gone.
    setUpBorderlessWindow(this, kWidth, kHeight);
    buildControls(settings.downloadPort);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls(std::uint16_t downloadPort)
{
    using namespace palette;
    using Align = TransparentLabel::Alignment;

    // Every control first, then each put in its place in creation order: several controls lie
    // on parents that come later in that order.
    auto* bottomBar = frame("外形框2", kNormal);
    auto* minimiseButton = titleButton("图形按钮2", assets::Glyph::Bar);
    auto* contactLink = titleLink("超级链接框2", "联系方式", QString());
    auto* siteLink = titleLink("超级链接框1", "官方网站", QString::fromLatin1(maker::kWebSite));
    m_addressBox = named(new EditBox(QString(), kHover, kWindow), "编辑框3");
    auto* copyFrame = frame("停止_外形框2", kWindow);
    auto* copyLabel = label("复制标签", "复制地址", kNormal);
    auto* unitFrame = frame("停止_外形框1", kWindow);
    auto* unitLabel = label("清除标签1", "字节", kNormal, Align::Centre);
    m_lengthBox = named(new EditBox(QStringLiteral("0"), kHover, kWindow), "编辑框4");
    auto* separator = line("外形框13", Shape::VerticalLine, std::nullopt);
    auto* addressFrame = frame("外形框7", kWindow);
    auto* addressCaption = label("显示标签2", "地址", kNormal);
    auto* clearFrame = frame("停止_外形框", kWindow);
    auto* loadFrame = frame("开始_外形框", kWindow);
    m_pathBox = named(new EditBox(QString(), kHover, kWindow), "编辑框1");
    auto* lengthFrame = frame("外形框3", kWindow);
    auto* lengthCaption = label("显示标签1", "长度", kNormal);
    auto* pathFrame = frame("外形框6", kWindow);
    auto* pathCaption = label("显示标签", "文件", kNormal);
    auto* rowLine = line("外形框1", Shape::HorizontalLine, kWindow);
    auto* titleInner = frame("外形框12", kWindow);
    auto* closeButton = titleButton("图形按钮1", assets::Glyph::Cross);
    auto* clearLabel = label("清除标签", "清除文件", kNormal);
    auto* title
        = label("透明标签7", "禾渡文件传送", kTitle, Align::Left, TransparentLabel::Shadow::Yes);
    auto* rightEdge
        = named(new ShapeBox({ Shape::Rectangle, kNormal, 2, kNormal, std::nullopt }), "外形框10");
    auto* leftEdge = frame("外形框9", kNormal);
    auto* bannerLine = line("外形框4", Shape::HorizontalLine, kWindow);
    auto* loadLabel = label("载入标签", "载入文件", kNormal);
    auto* titleOuter = frame("外形框8", kWindow);
    auto* banner = named(new PictureBox(assets::banner()), "图片框1");

    place(bottomBar, this, 0, 160, 304, 24);
    place(minimiseButton, titleInner, 248, 1, 16, 15);
    place(contactLink, titleInner, 174, 1, 56, 15);
    place(siteLink, titleInner, 117, 1, 56, 15);
    place(m_addressBox, addressFrame, 37, 1, 186, 16);
    place(copyFrame, addressFrame, 227, 0, 54, 18);
    place(copyLabel, copyFrame, 4, 3, 48, 14);
    place(unitFrame, lengthFrame, 191, 0, 37, 18);
    place(unitLabel, unitFrame, 4, 3, 28, 11);
    m_server = named(new DownloadServer(m_shareState, downloadPort, this), "服务器1");
    place(m_lengthBox, lengthFrame, 36, 1, 163, 16);
    m_dialog = named(new OpenFileDialog(this), "通用对话框1");
    place(separator, this, 33, 77, 1, 50);
    place(addressFrame, this, 1, 110, 281, 18);
    place(addressCaption, addressFrame, 5, 3, 24, 13);
    place(clearFrame, this, 228, 93, 54, 18);
    place(loadFrame, this, 228, 76, 54, 18);
    place(m_pathBox, this, 37, 77, 190, 16);
    place(lengthFrame, this, 1, 93, 231, 18);
    place(lengthCaption, lengthFrame, 5, 3, 25, 13);
    place(pathFrame, this, 1, 76, 228, 18);
    place(pathCaption, pathFrame, 5, 3, 24, 13);
    place(rowLine, this, 22, 93, 205, 2);
    place(titleInner, titleOuter, 0, 1, 300, 17);
    place(closeButton, titleInner, 265, 1, 16, 15);
    m_hoverTimer = named(new QTimer(this), "布局颜色时钟");
    connect(m_hoverTimer, &QTimer::timeout, this, &MainWindow::updateHoverColours);
    m_hoverTimer->start(kHoverTimerPeriod);
    place(clearLabel, clearFrame, 4, 3, 48, 11);
    place(title, titleInner, 9, 1, 117, 14);
    place(rightEdge, this, 281, -3, 6, 366);
    place(leftEdge, this, -1, -7, 3, 371);
    place(bannerLine, this, 0, 76, 281, 2);
    place(loadLabel, loadFrame, 4, 3, 48, 12);
    place(titleOuter, this, 0, 0, 300, 18);
    place(banner, this, 2, 18, 280, 59);

    // Tab and Shift+Tab go round the three edit boxes only, top to bottom.
    setTabOrder(m_pathBox, m_lengthBox);
    setTabOrder(m_lengthBox, m_addressBox);

    m_actionLabels = { loadLabel, clearLabel, copyLabel };
    connect(loadLabel, &TransparentLabel::pressed, this, &MainWindow::loadFile);
    connect(clearLabel, &TransparentLabel::pressed, this, &MainWindow::clearFile);
    connect(copyLabel, &TransparentLabel::pressed, this, &MainWindow::copyShareAddress);
    connect(contactLink, &Hyperlink::pressed, this, &MainWindow::openContactWindow);
    connect(minimiseButton, &PictureButton::clicked, this, &MainWindow::minimiseMainWindow);
    connect(closeButton, &PictureButton::clicked, this, &MainWindow::closeMainWindow);
}

void MainWindow::showCentred()
{
    centreOnScreen(this);
    show();
    // With no window manager, keys go to the window under the pointer unless we ask for focus.
    activateWindow();
}

void MainWindow::loadFile()
{
    // Local copies: a click dispatched inside the load may destroy this window.
    CommandServices services = m_services;
    core::ShareState& state = m_shareState;
    Controls controls(this);
    ui::loadFile(controls, state, services);
}

void MainWindow::clearFile()
{
    Controls controls(this);
    ui::clearFile(controls, m_shareState);
}

void MainWindow::copyShareAddress()
{
    Controls controls(this);
    ui::copyShareAddress(controls, m_services);
}

void MainWindow::openContactWindow()
{
    // Runs a nested loop until the contact window is gone; ticks and downloads go on.
    auto* contact = new ContactWindow(this);
    contact->exec();
}

void MainWindow::minimiseMainWindow()
{
    if (isVisible())
        showMinimized();
}

void MainWindow::closeMainWindow()
{
    // Destroyed once this handler has returned and the events before it have run.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::updateHoverColours()
{
    ui::updateHoverColours(m_actionLabels, m_pointer.widgetUnderPointer());
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc with no modifier closes the window; no control claims it, so it arrives here from
    // wherever the focus is.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace ui
