#pragma once

#include "preview/PageView.h"

#include <QImage>
#include <QWidget>

#include <utility>

class QLabel;
class QScrollArea;

namespace lumarel {

// Where a window whose frame is `window` and a live page whose frame is `page` large go in
// `area`: the page to the right of the window where there is room, else to its left; where
// neither side has room, the window moves aside as little as lets both fit (the page covers
// part of it only on an area too narrow for both). The window's top-left corner, then the
// page's.
std::pair<QPoint, QPoint> placedSideBySide(const QRect& window, QSize page, const QRect& area);

// The live page: the flyer's first page for the details of the moment, in a window of its own
// beside the details window, with the notices a preview shows and a quiet line for a page that
// could not be made. It scrolls by the keys and zooms in the preview's steps.
class LivePage : public QWidget
{
    Q_OBJECT

public:
    explicit LivePage(QWidget* parent = nullptr);

    // A new page, with the notices the preview would show over it, and under it `line` or, when
    // that is empty, when it was made.
    void showPage(const QImage& picture, const QStringList& notices,
                  const QString& line = QString());
    // The page shown last stays, with a line that says why no new one came.
    void showFailure(const QString& line);
    // The frame's size, as far as the window system's frame is known.
    QSize frameSize() const;

    void zoomIn();
    void zoomOut();
    Single zoom() const { return m_zoom; }
    // The page as the office rendered it, and as it is drawn at the zoom.
    const QImage& picture() const { return m_picture; }
    const QImage& drawnPage() const { return m_drawn; }
    QString noticeText() const;
    QString lineText() const;

signals:
    // A page or a failure line is on the screen.
    void shown();
    // The user closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setZoom(Single zoom);
    void draw();
    void describe();

    QScrollArea* m_area = nullptr;
    QLabel* m_page = nullptr;
    QLabel* m_notices = nullptr;
    QLabel* m_line = nullptr;
    QImage m_picture;
    QImage m_drawn;
    Single m_zoom = 0.5f;
    int m_wheelZoom = 0;
    QString m_updated; // when the page shown was made
};

} // namespace lumarel
