#include "details/LiveFlyer.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/SettingsStore.h"
#include "designs/DesignSetting.h"
#include "details/Form1.h"
#include "details/Form1Layout.h"
#include "flyer/FlyerJobs.h"
#include "flyer/FontCoverage.h"
#include "flyer/RecordFields.h"
#include "preview/LivePage.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QScreen>

namespace lumarel {

const QString& LivePageSetting::key()
{
    static const QString name = QStringLiteral("livePage");
    return name;
}

bool LivePageSetting::current()
{
    return SettingsStore::get(key()) == QLatin1String("on");
}

void LivePageSetting::store(bool on)
{
    SettingsStore::save(key(), on ? QStringLiteral("on") : QStringLiteral("off"));
}

namespace {

// Why a stage of the page failed, in one line; empty when none did. The removal of the run's
// copies does not touch the page.
QString pageProblem(const WindowFlyer& flyer)
{
    for (const StageFailure& failure : flyer.failures)
        if (failure.stage != FlyerStage::RemoveCopies)
            return failure.reason.section(QLatin1Char('\n'), 0, 0).trimmed();
    return QString();
}

} // namespace

LiveFlyer::LiveFlyer(Form1& form, std::chrono::milliseconds pause) : m_form(form), m_pacer(pause)
{
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        if (m_pacer.paused())
            ask();
    });
    m_action = new QAction(tr("&Live Page"), &form);
    m_action->setObjectName(QStringLiteral("LivePageAction"));
    m_action->setCheckable(true);
    m_action->setShortcut(QKeySequence(Qt::Key_F6));
    connect(m_action, &QAction::triggered, this, [this](bool on) {
        try {
            LivePageSetting::store(on);
        } catch (const Failure& failure) {
            Dialogs::message(QString(), failure.description(), MessageIcon::Warning,
                             MessageButtons::Ok);
        }
        turn(on);
    });
    // The live page stands beside the details window, and goes and comes back with it.
    form.installEventFilter(this);
}

LiveFlyer::~LiveFlyer() = default;

void LiveFlyer::restore()
{
    turn(LivePageSetting::current());
}

void LiveFlyer::changed()
{
    if (!m_on)
        return;
    m_pause.start(m_pacer.changed(LivePacer::Clock::now()));
}

void LiveFlyer::turn(bool on)
{
    m_action->setChecked(on);
    if (on == m_on)
        return;
    m_on = on;
    if (!on) {
        m_pause.stop();
        m_pacer.stop();
        if (m_page)
            m_page->hide();
        return;
    }
    if (!m_page) {
        m_page = std::make_unique<LivePage>();
        // Its key works in the live page too; closing the page turns it off as the entry does.
        m_page->addAction(m_action);
        connect(m_page.get(), &LivePage::closed, this, [this] {
            if (m_on)
                m_action->trigger();
        });
    }
    if (m_form.isVisible()) {
        placePage();
        m_page->show();
    }
    // The first page comes at once, without a pause.
    m_pause.stop();
    m_pacer.changed(LivePacer::Clock::now());
    if (m_pacer.paused())
        ask();
}

void LiveFlyer::placePage()
{
    const QScreen* screen = m_form.screen();
    if (!screen)
        return;
    const auto [formAt, pageAt] =
        placedSideBySide(m_form.frameGeometry(), m_page->frameSize(), screen->availableGeometry());
    if (formAt != m_form.frameGeometry().topLeft())
        m_form.move(formAt);
    m_page->move(pageAt);
}

void LiveFlyer::ask()
{
    const EventRecord details = m_form.record();
    // The press refuses such a text, and the office would be busy with it for minutes.
    if (const FieldSpec* field = overlongField(details)) {
        const QString caption =
            QCoreApplication::translate("lumarel::Form1", fieldLayout(*field).caption)
                .remove(QLatin1Char(':'));
        m_page->showFailure(tr("The page could not be made: \"%1\": %2.")
                                .arg(caption, overlongText((details.*field->text).size())));
        if (m_pacer.made())
            ask();
        return;
    }
    FlyerJobs& jobs = m_form.jobs();
    if (!m_listening) {
        connect(&jobs, &FlyerJobs::made, this, &LiveFlyer::made);
        m_listening = true;
    }
    // A design that fell back to the default is told by the next press, not here.
    QString notice;
    m_askedFields = flyerFields(details);
    m_job = jobs.makePage(m_askedFields,
                          storedDesign(SettingsStore::get(DesignSetting::key()), &notice));
    emit asked(m_job);
}

void LiveFlyer::made(quint64 job, const WindowFlyer& flyer)
{
    if (job != m_job)
        return;
    m_job = 0;
    const QString problem = pageProblem(flyer);
    if (flyer.page.isNull()) {
        const QString reason =
            problem.isEmpty() ? flyer.failure.section(QLatin1Char('\n'), 0, 0).trimmed() : problem;
        m_page->showFailure(tr("The page could not be made: %1").arg(reason));
    } else {
        m_shownFields = m_askedFields;
        m_page->showPage(flyer.page, flyerNotices(m_askedFields, flyer.pageCount, flyer.unfitted),
                         problem.isEmpty() ? QString()
                                           : tr("The page may lack a text: %1").arg(problem));
    }
    if (m_pacer.made())
        ask();
}

bool LiveFlyer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_form && m_on && m_page) {
        if (event->type() == QEvent::Show)
            m_page->show();
        else if (event->type() == QEvent::Hide)
            m_page->hide();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumarel
