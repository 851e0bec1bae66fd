#pragma once

#include "app/PointerSetting.h"
#include "preview/Form2Layout.h"
#include "preview/PageView.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QWheelEvent;

namespace lumarel {

class FlyerService;

// The preview window: shows the flyer's page in the zoomable view, saves the temporary
// document, goes back to the main window, and ends the program when closed. It only applies
// the view's state to its controls and forwards their events to the view.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    // Creating the window loads it (`Form_Load`).
    explicit Form2(QWidget* parent = nullptr);

    // The hand-over: the page picture (throws Failure when the file is missing or not a
    // picture), the temporary document the window owns from then on, and then show().
    void loadPicture(const QString& path);
    void loadPicture(const QImage& picture);
    // A notice shown over the top of the page's view, such as a flyer of more than one page;
    // an empty text hides it.
    void setPageNotice(const QString& text);
    QString mWordFile;
    // The window that "< Back" shows again.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }

    // Runs when the window becomes active; tests may call it directly.
    void Form_Activate();

    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton6_Click();
    void PushButton8_Click();
    // "Print…" (Ctrl+P) of the page's menu; "Save As…" (Ctrl+S) is the save button's command.
    void mnuPrint_Click();
    void Form_QueryUnload();

    PageView& view() { return m_view; }
    PointerSetting& pointer() { return m_pointer; }
    bool firstActivatePending() const { return mFirstActivate; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    // Making, placing and updating the controls: Form2Controls.cpp.
    void createControls();
    // Shrinks the window where the screen has no room for it.
    void fitToScreen();
    // Places the controls and tells the view its viewport's size.
    void layOut(const Form2Layout& layout);
    void applyView();
    void placePageNotice();
    void forwardPageMouse(QEvent* event);
    // The wheel scrolls the page; with Ctrl it zooms as the buttons do.
    void pageWheel(QWheelEvent* event);
    void scrollBarMoved(ScrollBarModel& bar, int value);
    // Runs the office work through the flyer service, with the office set or the ready one.
    void withFlyers(const std::function<void(FlyerService&)>& work);

    PointerSetting m_pointer;
    Form2Layout m_layout;
    PageView m_view;
    bool mFirstActivate = true;
    bool m_activating = false;
    // Wheel turns short of a step, kept for the next turn.
    int m_wheelScroll = 0;
    int m_wheelZoom = 0;
    int m_shownGeneration = -1;
    QPointer<QWidget> m_mainWindow;

    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QFrame* Picture2 = nullptr;
    QWidget* m_viewportInside = nullptr;
    QLabel* Picture1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Zoom_Ori = nullptr;
    QLabel* m_pageNotice = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton8 = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_saveAction = nullptr;
    QMenu* m_pageMenu = nullptr;
};

} // namespace lumarel
