#pragma once

#include "app/PointerSetting.h"
#include "app/StepTrap.h"
#include "designs/DesignSetting.h"
#include "details/FieldWriter.h"
#include "details/LivePacer.h"
#include "flyer/BookmarkTexts.h"
#include "record/EventRecord.h"
#include "runfiles/DocumentName.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QContextMenuEvent;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;

namespace lumarel {

class DocumentClaim;
class FlyerJobs;
class Form2;
class LiveFlyer;
struct WindowFlyer;

// The event details window: the program's start-up window.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // The live page asks for a page at once after a change made at rest, and `livePause` after
    // the last of changes made quicker than that.
    explicit Form1(QWidget* parent = nullptr,
                   std::chrono::milliseconds livePause = LivePacer::kPause);
    ~Form1() override;

    // Tests skip the office check at the end of start-up; the program always runs it.
    enum class EngineCheck
    {
        Run,
        Skip
    };

    // The start-up sequence; shows the window centred at its end, unless the engine check
    // ended the program.
    void Form_Load(EngineCheck engineCheck = EngineCheck::Run);

    // The values the controls hold now.
    EventRecord record() const;

    PointerSetting& pointer() { return m_pointer; }

    // The preview window, created at its first use.
    Form2& preview();
    // The preview window when it is open, without making one.
    Form2* shownPreview() const;
    // The program's end: the flyer document the window made last or is making goes, and its
    // claim with it.
    void endDocumentClaim();
    bool busy() const { return m_busy; }
    // The office work of the window's flyers, made at its first use.
    FlyerJobs& jobs();
    // The page beside the window that follows the typing (F6, "Live Page" in the window's menu).
    LiveFlyer& live() { return *m_live; }

signals:
    // A press of "Start Creating Template" ended, with or without a flyer.
    void pressEnded();

public slots:
    void PushButton6_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    // Puts back the texts as they were before the last press of Clear/Reset or of the sample
    // data (Ctrl+Z, "Undo" in the window's menu); nothing when there was no such press.
    void undoReplace();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class HoverRule
    {
        None,
        Normal,
        Hand
    };

    // Building the controls and reading and setting their values: Form1Controls.cpp.
    void buildWidgets();
    // Where the screen has no room for the window's design, the window takes what there is
    // and its content scrolls inside it.
    void fitToScreen();
    void watchHover(QWidget* widget, HoverRule rule);
    void selectAllOnFocus(QObject* watched, Qt::FocusReason reason);
    // The window's menu, after a text box's own entries; false for a control not of this window.
    bool showWindowMenu(QObject* watched, const QContextMenuEvent& event);

    // A field's value in its record form: CR LF texts, stored date texts.
    QString fieldValue(const FieldSpec& field) const;
    void setFieldText(const FieldSpec& field, const QString& text);
    void setFieldDate(const FieldSpec& field, const QDateTime& value);
    void Field_Change(const FieldSpec& field);
    void restoreField(const FieldSpec& field);

    QWidget* input(const FieldSpec& field) const;
    // Remembers every text for undoReplace before a button replaces them all.
    void rememberTexts();
    bool boxCanUndo(QObject* watched) const;

    // The second half of a press, on the flyer made off this thread.
    void showFlyer(const WindowFlyer& flyer);
    void endPress();

    // The "Design" submenu of the window's menu: Form1Design.cpp.
    QMenu* makeDesignMenu();
    void fillDesignMenu();
    void chooseDesignFile();
    // Keeps the stored design opened ahead in the idle office, ready for the next flyer.
    void openStoredDesignAhead();
    // The stored design for a flyer run; tells once when it fell back to the default.
    FlyerDesign designForRun();

    PointerSetting m_pointer;
    FieldWriter m_writer;
    // True while a flyer run is in progress; a second press is ignored meanwhile.
    bool m_busy = false;
    // The press in progress: its steps span the flyer's job.
    struct Press
    {
        explicit Press(QString location) : trap(std::move(location)) {}
        StepTrap trap;
        FlyerFields fields;
        quint64 job = 0;
        std::optional<QString> pathFailure;
    };
    std::unique_ptr<Press> m_press;
    std::unique_ptr<FlyerJobs> m_jobs;
    std::unique_ptr<LiveFlyer> m_live; // goes before the jobs it asks
    DocumentNamer m_documentNamer;
    std::unique_ptr<DocumentClaim> m_documentClaim; // on the last flyer document made
    std::unique_ptr<Form2> m_preview;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr; // the design's area, which holds every control
    QGroupBox* m_frame = nullptr;
    std::array<QWidget*, 9> m_inputs{};
    std::array<QLabel*, 9> m_labels{};
    std::array<QPushButton*, 3> m_buttons{};
    QHash<QObject*, HoverRule> m_hoverRules;
    QHash<const FieldSpec*, QString> m_textsBeforeReplace; // empty when there is nothing to undo
    QAction* m_undo = nullptr;
    QMenu* m_designMenu = nullptr;
    DesignSetting m_designSetting;
    QString m_webLinksTold; // the design file whose links to the web were last told of
};

} // namespace lumarel
