// Renders both windows to PNG files, for the README and for looking at the layout.
// Usage: screenshots OUTPUT_DIR [SCALE]
#include "core/ShareState.h"
#include "ui/ContactWindow.h"
#include "ui/Look.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTimer>

#include <cstdio>

namespace {

bool save(QWidget* window, const QString& path, int scale)
{
    QImage image = window->grab().toImage();
    if (scale > 1)
        image = image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    bool ok = image.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_DIR [SCALE]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    ui::applyApplicationLook(application);
    QString directory = QString::fromLocal8Bit(argv[1]);
    int scale = argc > 2 ? std::atoi(argv[2]) : 1;
    QDir().mkpath(directory);

    core::ShareState state;
    ui::MainWindow window(state, { .downloadPort = 0, .services = {} });
    window.show();
    ui::ContactWindow contact;
    contact.show();
    bool ok = save(&window, directory + QStringLiteral("/main-window.png"), scale);
    ok = save(&contact, directory + QStringLiteral("/contact-window.png"), scale) && ok;
    return ok ? 0 : 1;
}
