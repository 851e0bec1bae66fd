#include "TestEnvironment.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/StepTrap.h"
#include "app/Twips.h"
#include "preview/PageKeys.h"
#include "preview/PageView.h"

#include <memory>

using namespace lumarel;

namespace {

// The preview window's viewport: 9330 x 7425 twips with a 2-pixel border all round.
constexpr TwipsSize kOuter{9330, 7425};
constexpr TwipsSize kInner{9270, 7365};

QImage picture(int width, int height, QColor colour = Qt::darkBlue)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A view after the hand-over of a picture with the given natural size and its first display.
std::unique_ptr<PageView> shownView(TwipsSize natural, const QImage& image = picture(40, 60))
{
    auto view = std::make_unique<PageView>(kOuter, kInner, TwipsSize{2340, 3435}, 96);
    view->assignPicture(image, natural);
    StepTrap trap(locationText("Form2", "Form_Activate"));
    view->firstDisplay(trap);
    return view;
}

struct BarState
{
    bool enabled;
    int maximum;
    int value;
    bool operator==(const BarState&) const = default;
};

BarState state(const ScrollBarModel& bar)
{
    return {bar.enabled(), bar.maximum(), bar.value()};
}

} // namespace

Q_DECLARE_METATYPE(TwipsSize)

class PageViewTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Dialogs::takeShown(); }
    void cleanup() { QCOMPARE(Dialogs::takeShown().size(), 0); }

    void naturalSizeIsThePhysicalSize()
    {
        QImage letter(2159, 2794, QImage::Format_RGB32);
        letter.setDotsPerMeterX(10000);
        letter.setDotsPerMeterY(10000);
        const TwipsSize size = PageView::naturalSize(letter);
        QCOMPARE(size.width, 12240.0f);
        QCOMPARE(size.height, 15840.0f);
    }

    void firstDisplayStartsAtOneAtTheTopLeft()
    {
        auto view = shownView({3002, 4002});
        QCOMPARE(view->mZoom, 1.0f);
        QCOMPARE(view->mBaseWidth, 3000);
        QCOMPARE(view->mBaseHeight, 4000);
        QCOMPARE(view->mZoomWidth, 3000);
        QCOMPARE(view->pageSize().width, 3000.0f);
        QCOMPARE(view->pageLeft(), 0.0f);
        QCOMPARE(view->pageTop(), 0.0f);
        QCOMPARE(view->zoomSourceSize().width, 3002.0f);
    }

    void baseSizeRoundsHalvesToEven_data()
    {
        QTest::addColumn<float>("natural");
        QTest::addColumn<int>("base");
        QTest::newRow("1002.5 less 2 rounds down to the even 1000") << 1002.5f << 1000;
        QTest::newRow("1003.5 less 2 rounds up to the even 1002") << 1003.5f << 1002;
        QTest::newRow("1002.6 less 2 rounds up to 1001") << 1002.6f << 1001;
    }

    void baseSizeRoundsHalvesToEven()
    {
        QFETCH(float, natural);
        QFETCH(int, base);
        auto view = shownView({natural, natural});
        QCOMPARE(view->mBaseWidth, base);
        QCOMPARE(view->mBaseHeight, base);
    }

    void zoomLadder_data()
    {
        QTest::addColumn<TwipsSize>("natural");
        QTest::addColumn<QString>("steps"); // + zooms in, - zooms out
        QTest::addColumn<QList<float>>("factors");
        const QList<float> up{1.25f, 1.5f,  1.75f, 2.0f,  2.25f, 2.5f, 2.75f,
                              3.0f,  3.25f, 3.5f,  3.75f, 4.0f,  4.0f};
        QTest::newRow("zooming in climbs by quarters to 4.0 and ignores 4.25")
            << TwipsSize{2002, 3002} << QString(13, '+') << up;
        QTest::newRow("a letter page climbs by quarters to 4.0")
            << TwipsSize{12242, 15842} << QString(13, '+') << up;
        QTest::newRow("a letter page zoomed out comes back to 1.0 and on up")
            << TwipsSize{12242, 15842} << QStringLiteral("-+++")
            << QList<float>{0.75f, 1.0f, 1.25f, 1.5f};
        QTest::newRow("zooming out stops at 0.25 and ignores 0.0")
            << TwipsSize{2002, 3002} << QStringLiteral("----")
            << QList<float>{0.75f, 0.5f, 0.25f, 0.25f};
    }

    void zoomLadder()
    {
        QFETCH(TwipsSize, natural);
        QFETCH(QString, steps);
        QFETCH(QList<float>, factors);
        auto view = shownView(natural);
        float previous = view->mZoom;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const float factor = factors[i];
            const int generation = view->pageImageGeneration();
            view->ZoomStep(steps[i] == '+' ? 0 : 1);
            QCOMPARE(view->mZoom, factor);
            const int width = int(std::floor(view->mBaseWidth * double(factor)));
            const int height = int(std::floor(view->mBaseHeight * double(factor)));
            QCOMPARE(view->mZoomWidth, width);
            QCOMPARE(view->pageSize().width, float(width));
            QCOMPARE(view->pageSize().height, float(height));
            QCOMPARE(view->pageImage().size(),
                     QSize(Twips::toPixels(width, 96), Twips::toPixels(height, 96)));
            QCOMPARE(pageAccessibleName(*view),
                     QStringLiteral("Flyer page, zoom %1 %").arg(qRound(factor * 100)));
            // A drawing step redraws once; an ignored proposal draws nothing.
            QCOMPARE(view->pageImageGeneration() > generation, factor != previous);
            previous = factor;
        }
    }

    void everyDrawnStepPutsThePageAtTheTopLeftWithBarsAtZero()
    {
        auto view = shownView({4002, 9002}); // base 4000 x 9000: the vertical bar is in use
        view->VScroll1.setValue(view->VScroll1.maximum());
        QVERIFY(view->pageTop() < 0);
        view->ZoomStep(1);
        QCOMPARE(view->mZoom, 0.75f);
        QCOMPARE(view->pageTop(), 0.0f);
        QCOMPARE(view->VScroll1.value(), 0);
        view->VScroll1.setValue(3);
        view->ZoomStep(0);
        QCOMPARE(view->mZoom, 1.0f);
        QCOMPARE(state(view->VScroll1), (BarState{true, 158, 0})); // (9000 - 7425) / 10 = 157.5
        QCOMPARE(view->pageTop(), 0.0f);
    }

    void aPageTooLargeToDrawKeepsTheZoomItShows()
    {
        // 100000 twips wide: 3.25 is drawn, 3.5 would be more than the bars reach.
        auto view = shownView({100002, 302});
        for (int i = 0; i < 9; ++i)
            view->ZoomStep(0);
        QCOMPARE(view->mZoom, 3.25f);
        view->HScroll1.setValue(1);
        const TwipsSize page = view->pageSize();
        const int generation = view->pageImageGeneration();

        view->ZoomStep(0);
        QCOMPARE(view->mZoom, 3.25f);
        QCOMPARE(view->mZoomWidth, 325000);
        QCOMPARE(view->pageSize().width, page.width);
        QCOMPARE(view->pageLeft(), -10.0f);
        QCOMPARE(view->pageImageGeneration(), generation);
        view->ZoomStep(1);
        QCOMPARE(view->mZoom, 3.0f);
    }

    void scrollRange_data()
    {
        QTest::addColumn<float>("natural");
        QTest::addColumn<float>("pageWidth");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("step");
        // Pages are drawn at their base size, the natural size less 2.
        QTest::newRow("a page narrower than the viewport has no bar")
            << 5002.0f << 5000.0f << false << 0 << 0;
        QTest::newRow("a page exactly as wide as the viewport has no bar")
            << 9332.0f << 9330.0f << false << 0 << 0;
        QTest::newRow("50 twips wider: maximum 50, step 1")
            << 9382.0f << 9380.0f << true << 50 << 1;
        QTest::newRow("100 twips wider still steps by 1") << 9432.0f << 9430.0f << true << 100 << 1;
        QTest::newRow("101 twips wider steps by 10") << 9433.0f << 9431.0f << true << 10 << 10;
        QTest::newRow("2000 twips wider: maximum 200, step 10")
            << 11332.0f << 11330.0f << true << 200 << 10;
        QTest::newRow("a base of 9380.5 rounds to the even 9380")
            << 9382.5f << 9380.0f << true << 50 << 1;
        QTest::newRow("a base of 9381.5 rounds to the even 9382")
            << 9383.5f << 9382.0f << true << 52 << 1;
        QTest::newRow("505 twips wider rounds 50.5 to the even 50")
            << 9837.0f << 9835.0f << true << 50 << 10;
        QTest::newRow("495 twips wider rounds 49.5 to the even 50")
            << 9827.0f << 9825.0f << true << 50 << 10;
        QTest::newRow("a letter page: 2910 twips wider")
            << 12242.0f << 12240.0f << true << 291 << 10;
    }

    void scrollRange()
    {
        QFETCH(float, natural);
        QFETCH(float, pageWidth);
        QFETCH(bool, enabled);
        QFETCH(int, maximum);
        QFETCH(int, step);
        auto view = shownView({natural, 3002});
        QCOMPARE(view->pageSize().width, pageWidth);
        QCOMPARE(state(view->HScroll1).enabled, enabled);
        QCOMPARE(view->mHStep, step);
        if (!enabled)
            return;
        QCOMPARE(view->HScroll1.maximum(), maximum);
        view->HScroll1.setValue(maximum);
        QCOMPARE(view->pageLeft(), float(-maximum * step));
        view->HScroll1.setValue(0);
        QCOMPARE(view->pageLeft(), 0.0f);
    }

    void verticalRangeUsesHeights()
    {
        // 9425 at zoom 1.0 is drawn, 2000 twips higher than the viewport.
        auto view = shownView({3002, 9427});
        QCOMPARE(state(view->VScroll1), (BarState{true, 200, 0}));
        QCOMPARE(view->mVStep, 10);
        QVERIFY(!view->HScroll1.enabled());
        view->VScroll1.setValue(200);
        QCOMPARE(view->pageTop(), -2000.0f);
        QCOMPARE(view->pageLeft(), 0.0f);
    }

    void drag_data()
    {
        QTest::addColumn<TwipsSize>("natural");
        QTest::addColumn<QPointF>("start");
        QTest::addColumn<QPointF>("down");
        QTest::addColumn<int>("button");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPointF>("expected");
        const TwipsSize letter{12242, 15842};
        QTest::newRow("the grabbed point follows the pointer")
            << letter << QPointF(0, 0) << QPointF(5000, 5000) << 1 << QPointF(4000, 3000)
            << QPointF(-1000, -2000);
        QTest::newRow("any button drags") << letter << QPointF(-1000, -1000) << QPointF(5000, 5000)
                                          << 2 << QPointF(5600, 4500) << QPointF(-400, -1500);
        QTest::newRow("dragging past the top-left stops at 0")
            << letter << QPointF(-300, -300) << QPointF(1000, 1000) << 1 << QPointF(1500, 1500)
            << QPointF(0, 0);
        QTest::newRow("dragging past the bottom-right stops flush with the inner edges")
            << letter << QPointF(0, 0) << QPointF(5000, 9000) << 1 << QPointF(0, 0)
            << QPointF(9270 - 12240, 7365 - 15840);
        QTest::newRow("a small page moved right stays at the left edge")
            << TwipsSize{5002, 3002} << QPointF(0, 0) << QPointF(1000, 1000) << 1
            << QPointF(1100, 1100) << QPointF(0, 0);
        QTest::newRow("a small page moved left goes flush right and down")
            << TwipsSize{5002, 3002} << QPointF(0, 0) << QPointF(1000, 1000) << 1
            << QPointF(900, 1000) << QPointF(9270 - 5000, 7365 - 3000);
        QTest::newRow("moving without a button moves nothing")
            << letter << QPointF(-500, -600) << QPointF(5000, 5000) << 0 << QPointF(0, 0)
            << QPointF(-500, -600);
    }

    void drag()
    {
        QFETCH(TwipsSize, natural);
        QFETCH(QPointF, start);
        QFETCH(QPointF, down);
        QFETCH(int, button);
        QFETCH(QPointF, to);
        QFETCH(QPointF, expected);
        auto view = shownView(natural);
        view->movePage(start.x(), start.y());
        view->Picture1_MouseDown(button, 0, down.x(), down.y());
        view->Picture1_MouseMove(button, 0, to.x(), to.y());
        QCOMPARE(view->pageLeft(), float(expected.x()));
        QCOMPARE(view->pageTop(), float(expected.y()));
    }

    void release_data()
    {
        QTest::addColumn<TwipsSize>("natural");
        QTest::addColumn<QPointF>("dropped");
        QTest::addColumn<QPoint>("values");
        QTest::addColumn<QPointF>("settled");
        // A letter page: 2910 twips wider (maximum 291) and 8415 higher (maximum 842) than
        // the viewport, both in steps of 10.
        const TwipsSize letter{12242, 15842};
        QTest::newRow("at the top-left both bars go to 0")
            << letter << QPointF(0, 0) << QPoint(0, 0) << QPointF(0, 0);
        QTest::newRow("the page snaps to the whole percentage")
            << letter << QPointF(-1000, -3000) << QPoint(99, 303) << QPointF(-990, -3030);
        QTest::newRow("flush with the inner edges is above 100 and leaves the bars")
            << letter << QPointF(9270 - 12240, 7365 - 15840) << QPoint(7, 9)
            << QPointF(9270 - 12240, 7365 - 15840);
        QTest::newRow("a small page flush right is a negative percentage that changes nothing")
            << TwipsSize{5002, 3002} << QPointF(4270, 4365) << QPoint(0, 0) << QPointF(4270, 4365);
        // 9330 x 9425 twips: no horizontal range at all, 2000 twips of vertical range.
        QTest::newRow("a page as wide as the viewport leaves that bar alone")
            << TwipsSize{9332, 9427} << QPointF(0, -1000) << QPoint(0, 100) << QPointF(0, -1000);
    }

    void release()
    {
        QFETCH(TwipsSize, natural);
        QFETCH(QPointF, dropped);
        QFETCH(QPoint, values);
        QFETCH(QPointF, settled);
        auto view = shownView(natural);
        // Bars left at earlier values show which ones the release leaves alone.
        if (view->HScroll1.maximum() >= 7 && view->mHStep)
            view->HScroll1.setValue(7);
        if (view->VScroll1.maximum() >= 9 && view->mVStep)
            view->VScroll1.setValue(9);
        view->movePage(dropped.x(), dropped.y());
        view->Picture1_MouseUp(1, 0, 100, 100);
        QCOMPARE(view->HScroll1.value(), values.x());
        QCOMPARE(view->VScroll1.value(), values.y());
        QCOMPARE(view->pageLeft(), float(settled.x()));
        QCOMPARE(view->pageTop(), float(settled.y()));
    }

    void setByPercent_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("value");
        QTest::newRow("a negative percentage leaves the bar") << 200 << -1 << 3;
        QTest::newRow("above 100 leaves the bar") << 200 << 101 << 3;
        QTest::newRow("0 is the start") << 200 << 0 << 0;
        QTest::newRow("100 is the maximum") << 291 << 100 << 291;
        QTest::newRow("50 of 5 rounds 2.5 to the even 2") << 5 << 50 << 2;
        QTest::newRow("50 of 7 rounds 3.5 to the even 4") << 7 << 50 << 4;
        QTest::newRow("34 of 291 is 98.94, so 99") << 291 << 34 << 99;
    }

    void setByPercent()
    {
        QFETCH(int, maximum);
        QFETCH(int, percent);
        QFETCH(int, value);
        int changes = 0;
        ScrollBarModel bar([&] { ++changes; });
        bar.setMaximum(Integer(maximum));
        const int start = std::min(maximum, 3);
        bar.setValue(start);
        changes = 0;
        PageView::SetHScrollbarByPercent(bar, Integer(percent));
        QCOMPARE(bar.value(), value);
        QCOMPARE(changes, value == start ? 0 : 1);
    }

    void numberTypesAreChecked_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("integerFits");
        QTest::addColumn<bool>("longFits");
        QTest::newRow("32767 is the largest Integer") << 32767.0 << true << true;
        QTest::newRow("32767.5 rounds to 32768, too large for an Integer")
            << 32767.5 << false << true;
        QTest::newRow("-32768 is the smallest Integer") << -32768.0 << true << true;
        QTest::newRow("-32768.5 rounds to the even -32768") << -32768.5 << true << true;
        QTest::newRow("2147483647.5 overflows a Long") << 2147483647.5 << false << false;
        QTest::newRow("nothing fits an undefined quotient") << std::nan("") << false << false;
    }

    void numberTypesAreChecked()
    {
        QFETCH(double, value);
        QFETCH(bool, integerFits);
        QFETCH(bool, longFits);
        const auto fits = [](auto convert) {
            try {
                convert();
                return true;
            } catch (const Failure& failure) {
                if (failure.description() != QStringLiteral("Overflow"))
                    throw;
                return false;
            }
        };
        QCOMPARE(fits([&] { roundToInteger(value); }), integerFits);
        QCOMPARE(fits([&] { roundToLong(value); }), longFits);
    }

    void aTinyRangeOverflowsTheReleasePercentage()
    {
        // Too high to draw, so the page keeps its natural width, a tenth of a twip wider than
        // the viewport: a drag to the inner edge is some 60000 percent.
        auto view = shownView({9330.1f, 330000});
        view->movePage(9270 - 9330.1f, -100000);
        view->Picture1_MouseUp(1, 0, 0, 0);
        const auto shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith(
            "Overflow\r\nin Ostrevan2021/08/31.Form2.Picture1_MouseUp at line 104"));
        // The handler goes on with the vertical bar: 100000 / 322575 is 31%.
        QCOMPARE(view->VScroll1.value(), 10000); // 0.31 * 32258 = 9999.98
    }

    void aTooWideScrollRangeIsReportedByTheSetUp()
    {
        auto view = shownView({400000, 3002}); // (400000 - 9330) / 10 overflows an Integer
        const auto shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith(
            "Overflow\r\nin Ostrevan2021/08/31.Form2.Form_Activate at line 136"));
    }

    void everyZoomDrawsFromTheZoomSource()
    {
        // Fine stripes that any drawing from an earlier, smaller copy would blur.
        QImage stripes(400, 400, QImage::Format_RGB32);
        for (int y = 0; y < stripes.height(); ++y)
            for (int x = 0; x < stripes.width(); ++x)
                stripes.setPixel(x, y, (x / 2) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        const QImage original = stripes.copy();

        auto direct = shownView({3002, 3002}, stripes);
        direct->ZoomStep(0); // 1.25
        direct->ZoomStep(0); // 1.5

        auto detour = shownView({3002, 3002}, stripes);
        for (int zoomOut : {1, 1, 1, 0, 0, 0, 0, 0}) // down to 0.25, then up to 1.5
            detour->ZoomStep(zoomOut);

        QCOMPARE(detour->mZoom, 1.5f);
        QCOMPARE(detour->pageImage(), direct->pageImage());
        QCOMPARE(detour->zoomSource(), original);
    }

    void theDrawnPageIsTheZoomSourceStretched()
    {
        // Left half red, right half blue; at 0.5 the page is half the size, still split.
        QImage halves(200, 100, QImage::Format_RGB32);
        halves.fill(Qt::blue);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                halves.setPixel(x, y, qRgb(255, 0, 0));
        auto view = shownView({6002, 3002}, halves); // base 6000 x 3000 twips
        view->ZoomStep(1);
        view->ZoomStep(1);
        QCOMPARE(view->mZoom, 0.5f);
        const QImage& page = view->pageImage();
        QCOMPARE(page.size(), QSize(200, 100)); // 3000 x 1500 twips
        QCOMPARE(page.pixelColor(50, 50), QColor(Qt::red));
        QCOMPARE(page.pixelColor(150, 50), QColor(Qt::blue));
    }
};

LUMAREL_TEST_GUILESS_MAIN(PageViewTest)
#include "tst_pageview.moc"
