// The two windows as desktops show them: under a dark colour scheme, and on a screen whose
// room is short of the windows' design size (registered again at 200 % on 1280 x 1024).
#include "MainWindow.h"
#include "TestEnvironment.h"

#include "preview/Form2.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <map>

using namespace lumarel;

namespace {

double luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

// The contrast of the strongest ink in `area` against its most common colour, the
// background: 1 for nothing drawn, 21 for black on white.
double textContrast(const QImage& image, const QRect& area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000];
    const QRgb background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                return a.second < b.second;
                            })->first;
    const double back = luminance(background);
    double best = 1;
    for (const auto& [colour, count] : counts) {
        const double ink = luminance(colour);
        best = std::max(best, (std::max(ink, back) + 0.05) / (std::min(ink, back) + 0.05));
    }
    return best;
}

QPalette darkScheme()
{
    QPalette p;
    const QColor window(0x35, 0x35, 0x35), base(0x23, 0x23, 0x23), text(0xe6, 0xe6, 0xe6);
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase})
        p.setColor(role, window);
    p.setColor(QPalette::Base, base);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    p.setColor(QPalette::Light, window.lighter(150));
    p.setColor(QPalette::Mid, window.lighter(120));
    p.setColor(QPalette::Dark, window.darker(150));
    return p;
}

QImage letterPage()
{
    QImage page(2159, 2794, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(10000);
    page.setDotsPerMeterY(10000);
    return page;
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
        QTest::newRow("under a dark scheme") << darkScheme();
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
            const double contrast = textContrast(shot, area & shot.rect());
            QVERIFY2(
                contrast >= 4.5,
                qPrintable(
                    QStringLiteral("%1: contrast %2").arg(widget->objectName()).arg(contrast)));
        }
    }

    void bothWindowsFitTheScreen()
    {
        auto form1 = test::loadedMainWindow();
        auto form2 = std::make_unique<Form2>();
        form2->loadPicture(letterPage());
        form2->show();
        QVERIFY(QTest::qWaitForWindowExposed(form2.get()));
        form2->Form_Activate();
        const QRect room = form2->screen()->availableGeometry();
        for (QWidget* window : QList<QWidget*>{form1.get(), form2.get()}) {
            QVERIFY2(room.contains(window->frameGeometry()),
                     qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                    .arg(window->objectName())
                                    .arg(window->frameGeometry().x())
                                    .arg(window->frameGeometry().y())
                                    .arg(window->frameGeometry().width())
                                    .arg(window->frameGeometry().height())));
            // The page itself is clipped by its viewport.
            auto* viewport = window->findChild<QWidget*>("Picture2");
            for (QWidget* child : window->findChildren<QWidget*>())
                if (child->isVisibleTo(window) && !(viewport && viewport->isAncestorOf(child)))
                    QVERIFY2(window->rect().contains(
                                 QRect(child->mapTo(window, QPoint(0, 0)), child->size())),
                             qPrintable(child->objectName()));
        }
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
