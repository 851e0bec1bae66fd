#include "app/WindowKeys.h"

#include "app/AppServices.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QWidget>

#include <algorithm>

namespace lumarel {

void addWindowKeys(QWidget* window)
{
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), window);
    QObject::connect(quit, &QShortcut::activated, window, &QWidget::close);
    auto* help = new QShortcut(QKeySequence::HelpContents, window);
    QObject::connect(help, &QShortcut::activated, window, [window] { showHelp(window); });
    auto* menu = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), window);
    QObject::connect(menu, &QShortcut::activated, window, [window] {
        QWidget* focused = window->focusWidget() ? window->focusWidget() : window;
        const QPoint at = focused->rect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, focused->mapToGlobal(at));
        QCoreApplication::sendEvent(focused, &request);
    });
}

void showHelp(QWidget* parent)
{
    // One help window, shown again by a later F1.
    static QPointer<QTextBrowser> shown;
    if (!shown) {
        QFile readme(QStringLiteral(":/help/README.md"));
        readme.open(QIODevice::ReadOnly);
        shown = new QTextBrowser;
        shown->setAttribute(Qt::WA_DeleteOnClose);
        shown->setObjectName(QStringLiteral("Help"));
        shown->setWindowTitle(
            QCoreApplication::translate("lumarel::Help", "%1 Help").arg(kProductName));
        shown->setOpenExternalLinks(true);
        shown->setMarkdown(QString::fromUtf8(readme.readAll()));
        auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), shown);
        QObject::connect(close, &QShortcut::activated, shown, &QWidget::close);
        const QScreen* screen = parent->screen();
        const QSize room = screen ? screen->availableGeometry().size() : QSize(800, 600);
        shown->resize(std::min(720, room.width() * 9 / 10), std::min(640, room.height() * 8 / 10));
    }
    shown->show();
    shown->raise();
    shown->activateWindow();
}

} // namespace lumarel
