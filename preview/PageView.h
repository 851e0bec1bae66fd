#pragma once

#include <QImage>
#include <QtGlobal>

#include <functional>

namespace lumarel {

class StepTrap;

// The number types of the view's arithmetic. Results that become Integer or Long values are
// range-checked like the original platform does: outside the range is an "Overflow" failure.
using Single = float;
using Integer = qint16;
using Long = qint32;

// A whole number to Integer or Long; throws Failure("Overflow") outside the type's range.
Integer toInteger(double whole);
Long toLong(double whole);
// Rounded to the nearest whole number (ties to even), then range-checked.
Integer roundToInteger(double value);
Long roundToLong(double value);

struct TwipsSize
{
    Single width = 0;
    Single height = 0;
};

// The zoom of every view of the page moves in steps of a quarter, from 25 % to 400 %.
constexpr Single kZoomStep = 0.25f;
inline bool zoomAllowed(Single zoom)
{
    return zoom >= 0.25f && zoom <= 4.0f;
}

// `picture` on a white page of `size` at `dpi`, scaled smoothly: a page as a view first shows it.
QImage pictureAt(const QImage& picture, TwipsSize size, double dpi);

// A scroll bar as the view sees it: minimum 0, arrow and page clicks move by 1. Setting the
// value runs the change handler when the value really changes.
class ScrollBarModel
{
public:
    explicit ScrollBarModel(std::function<void()> changeHandler)
        : m_change(std::move(changeHandler))
    {
    }

    bool enabled() const { return m_enabled; }
    Integer maximum() const { return m_maximum; }
    Integer value() const { return m_value; }

    void setEnabled(bool enabled) { m_enabled = enabled; }
    // A value above the new maximum is pulled down to it, with its change.
    void setMaximum(Integer maximum);
    // Throws Failure for a value outside 0..maximum, as a scroll bar rejects it.
    void setValue(int value);

private:
    std::function<void()> m_change;
    bool m_enabled = true;
    Integer m_maximum = 32767;
    Integer m_value = 0;
};

// The zoomable, scrollable, draggable page of the preview window, in twips and without
// widgets: the window applies this state to its controls and forwards their events here.
// The viewport (`Picture2`) is fixed; the page (`Picture1`) has no border, so its outer and
// inner sizes agree; the zoom source (`Zoom_Ori`) has none either, so the page's base size
// loses only the 2 twips of the base rule and nothing of the picture is cropped.
class PageView
{
public:
    PageView(TwipsSize viewportOuter, TwipsSize viewportInner, TwipsSize pageDesignSize,
             double screenDpi);
    Q_DISABLE_COPY_MOVE(PageView)

    // A picture's natural size: its physical size (an unset resolution counts as 96 DPI).
    static TwipsSize naturalSize(const QImage& picture);

    // The hand-over: the picture assigned to the page. With automatic sizing on (from the
    // first set-up onwards) the page takes the picture's natural size at once.
    void assignPicture(const QImage& picture);
    void assignPicture(const QImage& picture, TwipsSize naturalSize);

    // The first-display set-up, its statements reported under the caller's trap.
    void firstDisplay(StepTrap& trap);

    // Returns whether the page was drawn (false when it would be too large to draw; the zoom
    // then stays at the one drawn last).
    bool RedrawImage();
    void InitScrollbars();
    void ZoomStep(Long zoomOut);
    void SetZoom(Single proposed);

    void HScroll1_Change();
    void VScroll1_Change();

    void Picture1_MouseDown(int button, int shift, Single x, Single y);
    void Picture1_MouseMove(int button, int shift, Single x, Single y);
    void Picture1_MouseUp(int button, int shift, Single x, Single y);

    static void SetHScrollbarByPercent(ScrollBarModel& hScrollbar, Integer percent);
    static void SetVScrollbarByPercent(ScrollBarModel& vScrollbar, Integer percent);

    // Run by RedrawImage after each drawing: the window's pointer goes back to normal.
    void setPointerReset(std::function<void()> reset) { m_pointerReset = std::move(reset); }

    // View variables.
    Single mZoom = 1.0f;
    Long mBaseWidth = 0;
    Long mBaseHeight = 0;
    Long mZoomWidth = 0;
    Long mZoomHeight = 0;
    Integer mHStep = 0;
    Integer mVStep = 0;
    Single mDownX = 0;
    Single mDownY = 0;

    ScrollBarModel HScroll1;
    ScrollBarModel VScroll1;

    // The page (`Picture1`): position relative to the viewport's inner origin, outer size.
    Single pageLeft() const { return m_pageLeft; }
    Single pageTop() const { return m_pageTop; }
    TwipsSize pageSize() const { return m_pageSize; }
    void movePage(Single left, Single top);
    // What the page shows, in screen pixels; drawn only by the hand-over and RedrawImage.
    const QImage& pageImage() const { return m_pageImage; }
    // Rises with every change of the page image, so a window knows when to take it again.
    int pageImageGeneration() const { return m_generation; }

    // The zoom source (`Zoom_Ori`): the picture as handed over, never redrawn.
    const QImage& zoomSource() const { return m_zoomSource; }
    TwipsSize zoomSourceSize() const { return m_zoomSourceSize; }

    // A window that shrinks its page area to fit the screen gives the view the new size
    // before the first display sets the view up for it.
    void setViewport(TwipsSize outer, TwipsSize inner)
    {
        m_viewportOuter = outer;
        m_viewportInner = inner;
    }
    // A viewport resized while the page is shown: the scroll bars are fitted to it as a zoom
    // step fits them, and then put back where they were in proportion.
    void viewportResized(TwipsSize outer, TwipsSize inner);
    TwipsSize viewportOuter() const { return m_viewportOuter; }
    TwipsSize viewportInner() const { return m_viewportInner; }
    double screenDpi() const { return m_dpi; }

private:
    // Zoom 1.0 and the base and zoomed sizes from the zoom source (steps 124 to 132).
    void resetToBaseSize(StepTrap& trap);
    void showPicture(const QImage& picture, TwipsSize naturalSize);
    static void setScrollbarByPercent(ScrollBarModel& bar, Integer percent);

    TwipsSize m_viewportOuter;
    TwipsSize m_viewportInner;
    double m_dpi;

    bool m_autoSize = false;
    QImage m_picture;
    TwipsSize m_pictureSize;
    Single m_pageLeft = 0;
    Single m_pageTop = 0;
    TwipsSize m_pageSize;
    QImage m_pageImage;
    int m_generation = 0;

    QImage m_zoomSource;
    TwipsSize m_zoomSourceSize;
    Single m_drawnZoom = 1.0f;

    std::function<void()> m_pointerReset;
};

} // namespace lumarel
