#include "details/Form1.h"

#include "app/AppServices.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/ProgramEnd.h"
#include "app/SettingsStore.h"
#include "app/StepTrap.h"
#include "app/TempFolder.h"
#include "app/WindowLook.h"
#include "details/Form1Layout.h"
#include "details/LiveFlyer.h"
#include "details/OneLineBox.h"
#include "details/WordCheck.h"
#include "flyer/FlyerJobs.h"
#include "flyer/FontCoverage.h"
#include "flyer/PageCapture.h"
#include "flyer/RecordFields.h"
#include "office/OfficePool.h"
#include "preview/Form2.h"
#include "runfiles/DocumentClaim.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScrollArea>
#include <QTextDocument>

#include <optional>
#include <utility>

namespace lumarel {

Form1::Form1(QWidget* parent, std::chrono::milliseconds livePause)
    : QWidget(parent), m_pointer(this), m_live(std::make_unique<LiveFlyer>(*this, livePause))
{
    setObjectName(QStringLiteral("Form1"));
    announceAsWindow(this);
    // The title is the product's alone; a screen reader tells the two windows apart.
    setAccessibleName(QStringLiteral("Lumarel: event details"));
    setFont(arialBold(kWindowFontPoints));
    paintDesignWhite(this);

    buildWidgets();

    // What the controls show before the restore is theirs, not the store's.
    for (const FieldSpec& field : eventFields())
        m_writer.hold(QLatin1String(field.name), fieldValue(field));
    for (const FieldSpec& field : eventFields()) {
        QWidget* widget = input(field);
        if (auto* picker = qobject_cast<QDateTimeEdit*>(widget))
            connect(picker, &QDateTimeEdit::dateTimeChanged, this,
                    [this, &field] { Field_Change(field); });
        else if (auto* line = qobject_cast<QLineEdit*>(widget))
            connect(line, &QLineEdit::textChanged, this, [this, &field] { Field_Change(field); });
        else if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
            connect(box, &QPlainTextEdit::textChanged, this,
                    [this, &field] { Field_Change(field); });
    }
}

Form1::~Form1()
{
    // The controls go while the window they report their events to is still whole.
    delete m_scroll;
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    // A text box takes Ctrl+Z for its own undo; with nothing of its own to undo, the window's
    // undo of the last replacement gets it.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo) && m_undo->isEnabled() &&
        !boxCanUndo(watched)) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::ContextMenu &&
        showWindowMenu(watched, *static_cast<QContextMenuEvent*>(event)))
        return true;
    if (event->type() == QEvent::FocusIn)
        selectAllOnFocus(watched, static_cast<QFocusEvent*>(event)->reason());
    if (event->type() == QEvent::MouseMove) {
        switch (m_hoverRules.value(watched, HoverRule::None)) {
        case HoverRule::Normal:
            m_pointer.normalRule();
            break;
        case HoverRule::Hand:
            m_pointer.handRule();
            break;
        case HoverRule::None:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::selectAllOnFocus(QObject* watched, Qt::FocusReason reason)
{
    // Typing into a text box the keyboard moved to replaces its whole content. A click places
    // the cursor, and coming back to the window or from a popup keeps what the user left.
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
        reason != Qt::ShortcutFocusReason)
        return;
    if (auto* line = dynamic_cast<OneLineBox*>(watched); line && line->parentWidget() == m_frame)
        line->selectWhole();
    else if (auto* box = qobject_cast<QPlainTextEdit*>(watched);
             box && box->parentWidget() == m_frame)
        box->selectAll();
}

void Form1::Field_Change(const FieldSpec& field)
{
    m_writer.changed(QLatin1String(field.name), fieldValue(field));
    m_live->changed();
}

void Form1::restoreField(const FieldSpec& field)
{
    const QString name = QLatin1String(field.name);
    const QString stored = SettingsStore::get(name);
    if (!field.isPicker()) {
        // The store holds the text already: showing it writes only what the box changes.
        m_writer.hold(name, stored);
        setFieldText(field, stored);
        return;
    }
    // Nothing stored: the picker keeps the date or time it was built with. Reading the clock
    // again here would give another second on a slow start, and the picker would store it.
    if (stored.isEmpty())
        return;
    const QDateTime value = pickerValue(field, stored);
    auto* picker = static_cast<QDateTimeEdit*>(input(field));
    // The picker would move such a date to its nearest end and store that instead.
    if (value < picker->minimumDateTime() || value > picker->maximumDateTime())
        throw Failure(QStringLiteral("The stored date %1 is outside the range the picker "
                                     "can show (%2 to %3).")
                          .arg(stored, picker->minimumDate().toString(Qt::ISODate),
                               picker->maximumDate().toString(Qt::ISODate)));
    m_writer.hold(name, stored);
    setFieldDate(field, value);
}

void Form1::Form_Load(EngineCheck engineCheck)
{
    StepTrap trap(locationText("Form1", "Form_Load"));
    trap.step(100, [&] { ApplySkin(this); });
    trap.step(104, [&] {
        setWindowTitle(kProductName);
        setWindowIcon(appIcon());
        SetAppTitle();
    });
    const QString cursorPath = optionalFile(kHandCursorFile);
    if (trap.test(106, [&] { return FileExists(cursorPath); }))
        trap.step(108, [&] { m_pointer.setCustomImage(loadCursorFile(cursorPath)); });

    for (const FieldSpec& field : eventFields())
        trap.step(fieldLayout(field).restoreStep, [&] { restoreField(field); });
    // Before any flyer is made from what may be placeholders.
    m_writer.tellStoreProblem();

    if (engineCheck == EngineCheck::Run) {
        bool engineAvailable = true;
        trap.step(146, [&] { engineAvailable = CheckWordInstalled(); });
        if (!engineAvailable)
            return;
    }
    // Once the office is known to start, so that the check does not wait for the preparation.
    openStoredDesignAhead();

    show();
    fitToScreen();
    centreOnScreen(this);
    m_live->restore();
}

namespace {

// Where the window reports a stage of its flyer that failed: a line of PushButton6_Click, or of
// SaveDocAsJPG for the stages of the page.
struct StageStep
{
    int line;
    bool capture;
};

StageStep stageStep(FlyerStage stage)
{
    switch (stage) {
    case FlyerStage::TakeOffice:
        return {106, false};
    case FlyerStage::ReadTemplate:
        return {108, false};
    case FlyerStage::CopyTemplate:
        return {110, false};
    case FlyerStage::OpenTemplate:
        return {112, false};
    case FlyerStage::DateText:
        return {116, false};
    case FlyerStage::OrgNameText:
        return {118, false};
    case FlyerStage::AddrText:
        return {120, false};
    case FlyerStage::PutOrgName:
        return {122, false};
    case FlyerStage::PutEventName:
        return {124, false};
    case FlyerStage::PutEventDate:
        return {126, false};
    case FlyerStage::PutEventTime:
        return {128, false};
    case FlyerStage::PutEventAddr:
        return {130, false};
    case FlyerStage::PutEventMore:
        return {132, false};
    case FlyerStage::FitTexts:
        return {134, false};
    case FlyerStage::Save:
        return {150, false};
    case FlyerStage::CloseSaved:
        return {154, false};
    case FlyerStage::CloseDocuments:
        return {156, false};
    case FlyerStage::LetOffice:
        return {160, false};
    case FlyerStage::TakeOfficeForPage:
        return {116, true};
    case FlyerStage::OpenSaved:
        return {118, true};
    case FlyerStage::RenderPage:
        return {120, true};
    case FlyerStage::KeepPage:
        return {122, true};
    case FlyerStage::ClosePage:
        return {124, true};
    case FlyerStage::ClosePageDocuments:
        return {126, true};
    case FlyerStage::RemoveCopies:
        return {176, false};
    }
    return {0, false};
}

} // namespace

void Form1::PushButton6_Click()
{
    if (m_busy)
        return;
    m_busy = true;
    m_press = std::make_unique<Press>(locationText("Form1", "PushButton6_Click"));
    StepTrap& trap = m_press->trap;
    const EventRecord details = record();
    // Such a text would keep the office busy for minutes; it stays in its box and in the store.
    if (const FieldSpec* field = overlongField(details)) {
        const QString caption = tr(fieldLayout(*field).caption).remove(':');
        Dialogs::message(QString(),
                         tr("No flyer was made from \"%1\": %2. Please shorten it; "
                            "it is kept as it is.")
                             .arg(caption, overlongText((details.*field->text).size())),
                         MessageIcon::Warning, MessageButtons::Ok);
        endPress();
        return;
    }
    m_press->fields = flyerFields(details);
    const FlyerDesign design = designForRun();
    trap.step(104, [&] { m_pointer.set(PointerSetting::Hourglass); });
    announce(this, tr("Making the flyer\u2026"));
    // Step 146 runs first, but its message takes its place among the run's: after the filling's.
    QString documentPath;
    try {
        documentPath = m_documentNamer.freePath(flyerTempFolder());
        // Claimed before it exists, so that no other start takes it for a leftover.
        m_documentClaim.reset();
        m_documentClaim = std::make_unique<DocumentClaim>(documentPath);
    } catch (...) {
        m_press->pathFailure = describeCurrentException();
    }
    // The window stays free while the office works; the press ends in showFlyer().
    m_press->job = jobs().make(m_press->fields, design, documentPath);
}

FlyerJobs& Form1::jobs()
{
    if (!m_jobs) {
        m_jobs = std::make_unique<FlyerJobs>(programOffices());
        connect(m_jobs.get(), &FlyerJobs::made, this,
                [this](quint64 job, const WindowFlyer& flyer) {
                    if (m_press && m_press->job == job)
                        showFlyer(flyer);
                });
    }
    return *m_jobs;
}

void Form1::showFlyer(const WindowFlyer& flyer)
{
    StepTrap& trap = m_press->trap;
    std::optional<QString>& pathFailure = m_press->pathFailure;
    StepTrap capture(locationText("Form1", "SaveDocAsJPG"));
    const auto report = [](StepTrap& where, int line, const QString& reason) {
        where.step(line, [&] { throw Failure(reason); });
    };
    const auto reportPath = [&] {
        if (pathFailure)
            report(trap, 146, *std::exchange(pathFailure, std::nullopt));
    };
    std::optional<QString> removalFailure;
    for (const StageFailure& failure : flyer.failures) {
        const StageStep place = stageStep(failure.stage);
        if (failure.stage == FlyerStage::RemoveCopies) {
            removalFailure = failure.reason;
            continue;
        }
        if (place.line > 146 || place.capture)
            reportPath();
        report(place.capture ? capture : trap, place.line, failure.reason);
    }
    reportPath();
    trap.step(164, [&] { m_pointer.set(PointerSetting::Normal); });
    if (flyer.saved) {
        trap.step(166, [&] {
            // The picture as the office rendered it, without reading the file back.
            preview().loadPicture(flyer.page.isNull() ? pageNotice(flyer.failure) : flyer.page);
            preview().setPageNotice(flyerNotices(m_press->fields, flyer.pageCount, flyer.unfitted)
                                        .join(QLatin1Char('\n')));
        });
        trap.step(168, [&] { preview().mWordFile = flyer.document; });
        trap.step(170, [&] {
            preview().show();
            preview().activateWindow();
        });
        trap.step(172, [&] { hide(); });
    }
    if (removalFailure)
        report(trap, 176, *removalFailure);
    if (Form2* shown = shownPreview())
        announce(shown, tr("The flyer is made; the preview shows its page."));
    else
        announce(this, tr("No flyer was made."));
    endPress();
}

void Form1::endPress()
{
    m_press.reset();
    m_busy = false;
    emit pressEnded();
}

Form2& Form1::preview()
{
    if (!m_preview) {
        // A window of its own, not owned by this one: it stays when this one hides.
        m_preview = std::make_unique<Form2>();
        m_preview->setMainWindow(this);
    }
    return *m_preview;
}

void Form1::endDocumentClaim()
{
    if (!m_documentClaim)
        return;
    QFile::remove(m_documentClaim->documentPath());
    m_documentClaim.reset();
}

Form2* Form1::shownPreview() const
{
    return m_preview && m_preview->isVisible() ? m_preview.get() : nullptr;
}

bool Form1::boxCanUndo(QObject* watched) const
{
    if (auto* line = qobject_cast<QLineEdit*>(watched))
        return line->isUndoAvailable();
    if (auto* box = qobject_cast<QPlainTextEdit*>(watched))
        return box->document()->isUndoAvailable();
    return false;
}

void Form1::rememberTexts()
{
    m_textsBeforeReplace.clear();
    for (const FieldSpec& field : eventFields())
        if (!field.isPicker())
            m_textsBeforeReplace.insert(&field, fieldValue(field));
    m_undo->setEnabled(true);
}

void Form1::undoReplace()
{
    const QHash<const FieldSpec*, QString> texts = std::exchange(m_textsBeforeReplace, {});
    m_undo->setEnabled(false);
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        setFieldText(*it.key(), it.value());
}

void Form1::PushButton2_Click()
{
    StepTrap trap(locationText("Form1", "PushButton2_Click"));
    rememberTexts();
    for (const FieldSpec& field : eventFields()) {
        if (!field.isPicker())
            trap.step(fieldLayout(field).resetStep, [&] { setFieldText(field, QString()); });
    }
}

void Form1::PushButton3_Click()
{
    StepTrap trap(locationText("Form1", "PushButton3_Click"));
    rememberTexts();
    for (const FieldSpec& field : eventFields()) {
        if (!field.isPicker())
            trap.step(fieldLayout(field).resetStep,
                      [&] { setFieldText(field, QString::fromUtf8(field.sample)); });
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    endProgram();
}

} // namespace lumarel
