#include "preview/PageView.h"

#include "app/Failure.h"
#include "app/StepTrap.h"
#include "app/Twips.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumarel {

namespace {

template <class T> T checked(double whole)
{
    if (!(whole >= std::numeric_limits<T>::min() && whole <= std::numeric_limits<T>::max()))
        throw Failure(QStringLiteral("Overflow"));
    return static_cast<T>(whole);
}

// The largest page the scroll bars can reach: a 16-bit maximum at ten twips a value, with room
// for the viewport beside it.
constexpr Long kMaxDrawnTwips = 32767 * 10;

// The base size: the zoom source's inner size less 2 twips, rounded.
Long baseOf(Single inner)
{
    return roundToLong(static_cast<Single>(inner - 2));
}

Long zoomed(Long base, Single zoom)
{
    return toLong(std::floor(double(base) * double(zoom)));
}

QImage whiteImage(TwipsSize size, double dpi)
{
    const int width = Twips::toPixels(size.width, dpi);
    const int height = Twips::toPixels(size.height, dpi);
    if (width <= 0 || height <= 0)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Draws the part `source` of `picture` stretched into `target` of `canvas` (all in pixels).
void stretch(QImage& canvas, const QRectF& target, const QImage& picture, QRectF source)
{
    if (canvas.isNull() || picture.isNull() || source.isEmpty())
        return;
    // A smooth scaling first averages every pixel of a large reduction, where painting alone
    // would sample only a few and break up thin strokes of text.
    const double sx = target.width() / source.width();
    const double sy = target.height() / source.height();
    QImage scaled = picture;
    if (sx < 1 || sy < 1) {
        scaled = picture.scaled(std::max(1, qRound(picture.width() * sx)),
                                std::max(1, qRound(picture.height() * sy)), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
        const double fx = double(scaled.width()) / picture.width();
        const double fy = double(scaled.height()) / picture.height();
        source =
            QRectF(source.x() * fx, source.y() * fy, source.width() * fx, source.height() * fy);
    }
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, scaled, source);
}

} // namespace

QImage pictureAt(const QImage& picture, TwipsSize size, double dpi)
{
    QImage page = whiteImage(size, dpi);
    stretch(page, page.rect(), picture, picture.rect());
    return page;
}

Integer toInteger(double whole)
{
    return checked<Integer>(whole);
}

Long toLong(double whole)
{
    return checked<Long>(whole);
}

Integer roundToInteger(double value)
{
    return toInteger(roundHalfEven(value));
}

Long roundToLong(double value)
{
    return toLong(roundHalfEven(value));
}

void ScrollBarModel::setMaximum(Integer maximum)
{
    m_maximum = maximum;
    if (m_value > m_maximum) {
        m_value = m_maximum;
        m_change();
    }
}

void ScrollBarModel::setValue(int value)
{
    if (value < 0 || value > m_maximum)
        throw Failure(QStringLiteral("Invalid property value"));
    if (value == m_value)
        return;
    m_value = static_cast<Integer>(value);
    m_change();
}

PageView::PageView(TwipsSize viewportOuter, TwipsSize viewportInner, TwipsSize pageDesignSize,
                   double screenDpi)
    : HScroll1([this] { HScroll1_Change(); }), VScroll1([this] { VScroll1_Change(); }),
      m_viewportOuter(viewportOuter), m_viewportInner(viewportInner), m_dpi(screenDpi),
      m_pageSize(pageDesignSize)
{
}

TwipsSize PageView::naturalSize(const QImage& picture)
{
    // Exact for whole dots per meter: 2159 pixels at 10000 dots per meter are 12240 twips.
    const auto twips = [](int pixels, int dotsPerMeter) {
        if (dotsPerMeter <= 0)
            return static_cast<Single>(pixels * kTwipsPerInch / 96.0);
        return static_cast<Single>(pixels * 1440.0 * 10000.0 / (dotsPerMeter * 254.0));
    };
    return {twips(picture.width(), picture.dotsPerMeterX()),
            twips(picture.height(), picture.dotsPerMeterY())};
}

void PageView::assignPicture(const QImage& picture)
{
    assignPicture(picture, naturalSize(picture));
}

void PageView::assignPicture(const QImage& picture, TwipsSize naturalSize)
{
    m_picture = picture;
    m_pictureSize = naturalSize;
    if (m_autoSize)
        m_pageSize = naturalSize;
    showPicture(picture, naturalSize);
}

void PageView::showPicture(const QImage& picture, TwipsSize naturalSize)
{
    // The picture at its natural size; the page shows as much of it as its own size allows.
    m_pageImage = pictureAt(picture, naturalSize, m_dpi);
    ++m_generation;
}

void PageView::resetToBaseSize(StepTrap& trap)
{
    trap.step(124, [&] {
        mZoom = 1.0f;
        m_drawnZoom = 1.0f;
    });
    // The zoom source has no border: its inner size is its outer size.
    trap.step(126, [&] { mBaseWidth = baseOf(m_zoomSourceSize.width); });
    trap.step(128, [&] { mBaseHeight = baseOf(m_zoomSourceSize.height); });
    trap.step(130, [&] { mZoomWidth = zoomed(mBaseWidth, 1.0f); });
    trap.step(132, [&] { mZoomHeight = zoomed(mBaseHeight, 1.0f); });
}

void PageView::firstDisplay(StepTrap& trap)
{
    trap.step(106, [&] {
        m_autoSize = true;
        m_pageSize = m_pictureSize;
    });
    trap.step(118, [&] { m_zoomSourceSize = m_pageSize; });
    trap.step(122, [&] { m_zoomSource = m_picture; });
    resetToBaseSize(trap);
    trap.step(134, [&] { RedrawImage(); });
    trap.step(136, [&] { InitScrollbars(); });
}

bool PageView::RedrawImage()
{
    StepTrap trap(locationText("Form2", "RedrawImage"));
    trap.step(100, [&] { mZoomWidth = zoomed(mBaseWidth, mZoom); });
    trap.step(102, [&] { mZoomHeight = zoomed(mBaseHeight, mZoom); });

    QImage image;
    if (!trap.test(104, [&] {
            if (mZoomWidth >= kMaxDrawnTwips || mZoomHeight >= kMaxDrawnTwips)
                return false;
            image = whiteImage({Single(mZoomWidth), Single(mZoomHeight)}, m_dpi);
            // A page too small for a whole pixel is drawn empty.
            return !image.isNull() || Twips::toPixels(mZoomWidth, m_dpi) <= 0 ||
                   Twips::toPixels(mZoomHeight, m_dpi) <= 0;
        })) {
        // Too large to draw (or no memory for it): the page stays as drawn, and so does the
        // zoom, so that what the window says of the page is what it shows.
        mZoom = m_drawnZoom;
        mZoomWidth = zoomed(mBaseWidth, mZoom);
        mZoomHeight = zoomed(mBaseHeight, mZoom);
        return false;
    }

    trap.step(106, [&] {
        m_pageImage = QImage();
        ++m_generation;
    });
    trap.step(108, [&] { m_pageSize.width = static_cast<Single>(mZoomWidth); });
    trap.step(110, [&] { m_pageSize.height = static_cast<Single>(mZoomHeight); });
    trap.step(112, [&] {
        if (!image.isNull() && !m_zoomSource.isNull() && m_zoomSourceSize.width > 0 &&
            m_zoomSourceSize.height > 0) {
            // Twips of the zoom source map to its picture's pixels at the picture's own
            // resolution; twips of the page to screen pixels.
            const double sourceX = m_zoomSource.width() / double(m_zoomSourceSize.width);
            const double sourceY = m_zoomSource.height() / double(m_zoomSourceSize.height);
            const double screen = m_dpi / kTwipsPerInch;
            QPainter painter(&image);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(0, 0, mZoomWidth * screen, mZoomHeight * screen), m_zoomSource,
                              QRectF(0, 0, mBaseWidth * sourceX, mBaseHeight * sourceY));
        }
        m_pageImage = image;
        ++m_generation;
        m_drawnZoom = mZoom;
    });
    trap.step(114, [&] {
        if (m_pointerReset)
            m_pointerReset();
    });
    trap.step(116, [&] { HScroll1.setValue(0); });
    trap.step(118, [&] { VScroll1.setValue(0); });
    trap.step(120, [&] { HScroll1.setEnabled(m_viewportInner.width < mZoomWidth); });
    trap.step(122, [&] { VScroll1.setEnabled(m_viewportInner.height < mZoomHeight); });
    return true;
}

void PageView::InitScrollbars()
{
    movePage(0, 0);

    const auto fit = [](ScrollBarModel& bar, Integer& step, Single page, Single viewport) {
        if (page <= viewport) {
            bar.setEnabled(false);
            step = 0;
            return;
        }
        const Single d = page - viewport;
        bar.setEnabled(true);
        if (d <= 100) {
            bar.setMaximum(roundToInteger(d));
            step = 1;
        } else {
            bar.setMaximum(roundToInteger(static_cast<Single>(d / 10)));
            step = 10;
        }
        // The step is in place before the value moves, so the change handler uses it.
        bar.setValue(0);
    };
    fit(HScroll1, mHStep, m_pageSize.width, m_viewportOuter.width);
    fit(VScroll1, mVStep, m_pageSize.height, m_viewportOuter.height);
}

void PageView::viewportResized(TwipsSize outer, TwipsSize inner)
{
    const auto share = [](Single position, Single page, Single viewport) {
        return page > viewport ? std::fabs(position) / double(page - viewport) : 0.0;
    };
    const double shareX = share(m_pageLeft, m_pageSize.width, m_viewportOuter.width);
    const double shareY = share(m_pageTop, m_pageSize.height, m_viewportOuter.height);
    setViewport(outer, inner);
    InitScrollbars();
    for (auto [bar, shareOf] : {std::pair{&HScroll1, shareX}, std::pair{&VScroll1, shareY}})
        if (bar->enabled())
            bar->setValue(roundToInteger(std::min(1.0, shareOf) * bar->maximum()));
}

void PageView::ZoomStep(Long zoomOut)
{
    const Single proposed = zoomOut == 0 ? mZoom + kZoomStep : mZoom - kZoomStep;
    SetZoom(proposed);
}

void PageView::SetZoom(Single proposed)
{
    if (!zoomAllowed(proposed))
        return;
    mZoom = proposed;
    if (RedrawImage())
        InitScrollbars();
}

void PageView::HScroll1_Change()
{
    // A Long product: a wide page at a large value must not overflow while scrolling.
    m_pageLeft = static_cast<Single>(-(Long(mHStep) * Long(HScroll1.value())));
}

void PageView::VScroll1_Change()
{
    m_pageTop = static_cast<Single>(-(Long(mVStep) * Long(VScroll1.value())));
}

void PageView::movePage(Single left, Single top)
{
    m_pageLeft = left;
    m_pageTop = top;
}

void PageView::Picture1_MouseDown(int, int, Single x, Single y)
{
    StepTrap trap(locationText("Form2", "picture1_MouseDown"));
    trap.step(100, [&] { mDownX = x; });
    trap.step(102, [&] { mDownY = y; });
}

void PageView::Picture1_MouseMove(int button, int, Single x, Single y)
{
    StepTrap trap(locationText("Form2", "picture1_MouseMove"));
    if (!trap.test(100, [&] { return button != 0; }))
        return;

    // The grabbed point of the page stays under the pointer, within the viewport's inside.
    Single left = 0;
    trap.step(104, [&] { left = m_pageLeft - mDownX + x; });
    if (trap.test(106, [&] { return left > 0; })) {
        trap.step(108, [&] { left = 0; });
    } else if (trap.test(110, [&] { return (m_viewportInner.width - m_pageSize.width) > left; })) {
        trap.step(112, [&] { left = m_viewportInner.width - m_pageSize.width; });
    }

    Single top = 0;
    trap.step(114, [&] { top = m_pageTop - mDownY + y; });
    if (trap.test(116, [&] { return top > 0; })) {
        trap.step(118, [&] { top = 0; });
    } else if (trap.test(120, [&] { return (m_viewportInner.height - m_pageSize.height) > top; })) {
        trap.step(122, [&] { top = m_viewportInner.height - m_pageSize.height; });
    }

    trap.step(124, [&] { movePage(left, top); });
}

void PageView::Picture1_MouseUp(int, int, Single, Single)
{
    StepTrap trap(locationText("Form2", "Picture1_MouseUp"));

    // A page exactly as wide as the viewport has no scroll range: that bar is left alone.
    const Single rangeX = m_pageSize.width - m_viewportOuter.width;
    const Single rangeY = m_pageSize.height - m_viewportOuter.height;
    const auto percent = [](Single position, Single range) {
        const Single share = std::fabs(position) / range;
        return roundToLong(static_cast<Single>(share * 100));
    };

    Long px = 0;
    Long py = 0;
    if (rangeX != 0)
        trap.step(100, [&] { px = percent(m_pageLeft, rangeX); });
    if (rangeY != 0)
        trap.step(102, [&] { py = percent(m_pageTop, rangeY); });
    if (rangeX != 0)
        trap.step(104, [&] { SetHScrollbarByPercent(HScroll1, toInteger(px)); });
    if (rangeY != 0)
        trap.step(106, [&] { SetVScrollbarByPercent(VScroll1, toInteger(py)); });
}

void PageView::setScrollbarByPercent(ScrollBarModel& bar, Integer percent)
{
    if (percent < 0 || percent > 100)
        return;
    bar.setValue(roundToInteger(percent / 100.0 * bar.maximum()));
}

void PageView::SetHScrollbarByPercent(ScrollBarModel& hScrollbar, Integer percent)
{
    setScrollbarByPercent(hScrollbar, percent);
}

void PageView::SetVScrollbarByPercent(ScrollBarModel& vScrollbar, Integer percent)
{
    setScrollbarByPercent(vScrollbar, percent);
}

} // namespace lumarel
