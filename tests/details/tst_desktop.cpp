// The two windows as desktops show them: under a dark colour scheme, and on a screen whose
// room is short of the windows' design size (registered again at 200 % on 1280 x 1024).
#include "MainWindow.h"
#include "TestEnvironment.h"

#include "app/WindowLook.h"
#include "preview/Form2.h"

#include <QFileDialog>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <map>

using namespace lumarel;

namespace {

// WCAG's contrast of the strongest ink in `area` against its most common colour, the
// background: 1 for nothing drawn, 21 for black on white.
double textContrast(const QImage& image, const QRect& area)
{
    const auto luminance = [](QRgb rgb) {
        const auto linear = [](int v) {
            return v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) +
               0.0722 * linear(qBlue(rgb)) + 0.05;
    };
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000];
    const double back =
        luminance(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                  })->first);
    double best = 1;
    for (const auto& entry : counts)
        best = std::max({best, luminance(entry.first) / back, back / luminance(entry.first)});
    return best;
}

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void labelsAndFieldsStayReadable_data()
    {
        QTest::addColumn<QPalette>("scheme");
        QTest::newRow("under a light scheme") << QPalette(Qt::lightGray);
        // Given a dark window colour, Qt makes the texts light.
        QTest::newRow("under a dark scheme")
            << QPalette(QColor(0x35, 0x35, 0x35), QColor(0x35, 0x35, 0x35));
    }

    void labelsAndFieldsStayReadable()
    {
        QFETCH(QPalette, scheme);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(scheme);
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        auto form = test::loadedMainWindow();
        form->findChild<QLineEdit*>("txtOrgName")->setText("Millbrook Garden Society");
        form->show();
        const QImage shot = form->grab().toImage();
        QList<QWidget*> texts{form->findChild<QWidget*>("txtOrgName")};
        for (QLabel* label : form->findChildren<QLabel*>())
            texts << label;
        for (QPushButton* button : form->findChildren<QPushButton*>())
            texts << button;
        QCOMPARE(texts.size(), 13);
        for (QWidget* widget : texts) {
            const QRect area(widget->mapTo(form.get(), QPoint(0, 0)), widget->size());
            QVERIFY2(textContrast(shot, area & shot.rect()) >= 4.5,
                     qPrintable(widget->objectName()));
        }
    }

    void bothWindowsFitTheScreen()
    {
        auto form1 = test::loadedMainWindow();
        auto form2 = std::make_unique<Form2>();
        QImage letterPage(816, 1056, QImage::Format_RGB32); // at 96 DPI
        letterPage.fill(Qt::white);
        form2->loadPicture(letterPage);
        form2->show();
        QVERIFY(QTest::qWaitForWindowExposed(form2.get()));
        form2->Form_Activate();
        const QRect room = form2->screen()->availableGeometry();
        for (QWidget* window : QList<QWidget*>{form1.get(), form2.get()}) {
            QVERIFY2(room.contains(window->frameGeometry()), qPrintable(window->objectName()));
            QApplication::setActiveWindow(window);
            // Every control the keyboard reaches is in sight once it has the focus, inside
            // the part of the window that shows the design (all of it, unless it scrolls).
            const auto* scroll = window->findChild<QScrollArea*>();
            const QWidget* shows = scroll ? scroll->viewport() : window;
            const QRect inSight(shows->mapTo(window, QPoint(0, 0)), shows->size());
            int reached = 0;
            for (QWidget* child : window->findChildren<QWidget*>()) {
                if (!child->isVisibleTo(window) || !(child->focusPolicy() & Qt::TabFocus) ||
                    child->focusProxy())
                    continue;
                child->setFocus(Qt::TabFocusReason);
                QVERIFY(child->hasFocus());
                ++reached;
                QVERIFY2(inSight.contains(QRect(child->mapTo(window, QPoint(0, 0)), child->size())),
                         qPrintable(child->objectName()));
            }
            QCOMPARE(reached, window == form1.get() ? 12 : 5);
        }
        // Qt's own dialogs are fitted as they show.
        QFileDialog dialog(form2.get());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.show();
        fitIntoScreen(&dialog);
        QVERIFY(room.contains(dialog.frameGeometry()));
        // The page area gave up what was missing; the letter page still scrolls to its end.
        auto* bar = form2->findChild<QScrollBar*>("VScroll1");
        QVERIFY(bar->isEnabled());
        const double pageBottom = form2->view().pageSize().height;
        bar->setValue(bar->maximum());
        QVERIFY(std::abs(form2->view().pageTop() + pageBottom -
                         form2->view().viewportOuter().height) < 10 * form2->view().mVStep);
    }
};

LUMAREL_TEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
