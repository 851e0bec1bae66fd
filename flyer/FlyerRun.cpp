#include "flyer/FlyerRun.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "flyer/FlyerTemplate.h"
#include "flyer/OfficeEngine.h"
#include "flyer/PageCapture.h"
#include "flyer/RunLock.h"
#include "flyer/TempFolder.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace lumarel {

namespace {

QByteArray bmpBytes(const QImage& page)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(page.convertToFormat(QImage::Format_RGB32)))
        throw Failure(
            QStringLiteral("The page picture could not be encoded: %1").arg(writer.errorString()));
    return buffer.data();
}

} // namespace

FlyerRun::FlyerRun(OfficeSource office) : m_source(std::move(office)) {}

FlyerRun::FlyerRun(OfficeEngine& office) : m_source([&office]() -> OfficeEngine& { return office; })
{
}

FlyerRun::~FlyerRun() = default;

OfficeEngine& FlyerRun::office()
{
    if (!m_office)
        throw Failure(QStringLiteral("There is no office instance to work with, because it "
                                     "could not be started."));
    return *m_office;
}

bool FlyerRun::officeStep(int line, const std::function<void()>& body, const StepRunner& step)
{
    return step(line, body);
}

void FlyerRun::fill(const FlyerFields& fields, const StepRunner& step)
{
    openTemplate(step);
    putTexts(fields, step);
}

void FlyerRun::openTemplate(const StepRunner& step)
{
    QByteArray templateBytes;
    officeStep(
        106, [&] { m_office = &m_source(); }, step);
    step(108, [&] { templateBytes = embeddedTemplate(); });
    step(110, [&] {
        if (!m_lock)
            m_lock = std::make_unique<RunLock>();
        if (!FileExists(templateCopyPath()))
            SaveBytesToFile(templateBytes, templateCopyPath());
    });
    officeStep(
        112,
        [&] {
            // Another run owns the copy now.
            if (!m_lock)
                throw Failure(QStringLiteral("The flyer template was not opened, because the "
                                             "temporary folder is in use by another run."));
            office().open(templateCopyPath(), true);
        },
        step);
}

void FlyerRun::unlock()
{
    m_lock.reset();
}

void FlyerRun::putTexts(const FlyerFields& fields, const StepRunner& step)
{
    QString dateText, orgText, addrText;
    step(116, [&] { dateText = eventDateText(fields.eventDate); });
    step(118, [&] { orgText = orgNameText(fields.orgName); });
    step(120, [&] { addrText = eventAddrText(fields.location); });
    const auto put = [&](int line, const char* bookmark, const auto& text) {
        officeStep(
            line, [&] { office().setBookmarkText(QLatin1String(bookmark), text()); }, step);
    };
    put(122, "OrgName", [&] { return orgText; });
    put(124, "EventName", [&] { return eventNameText(fields.eventName); });
    put(126, "EventDate", [&] { return dateText; });
    put(128, "EventTime", [&] { return eventTimeText(fields.eventTime); });
    put(130, "EventAddr", [&] { return addrText; });
    put(132, "EventMore",
        [&] { return eventMoreText(fields.more, fields.infoOrg, fields.plans, fields.items); });
}

bool FlyerRun::save(const QString& documentPath, const StepRunner& step)
{
    const bool saved = officeStep(
        150, [&] { office().saveAs(documentPath); }, step);
    officeStep(
        152, [&] { office().setDisplayAlerts(false); }, step);
    officeStep(
        154, [&] { office().close(); }, step);
    officeStep(
        156, [&] { office().quit(); }, step);
    step(160, [&] { m_office = nullptr; });
    return saved;
}

bool FlyerRun::makeDocument(const FlyerFields& fields, const QString& documentPath,
                            const StepRunner& step)
{
    fill(fields, step);
    return save(documentPath, step);
}

bool FlyerRun::capturePage(const QString& documentPath, const QString& picturePath,
                           const StepRunner& step)
{
    QImage page;
    officeStep(
        116, [&] { m_office = &m_source(); }, step);
    officeStep(
        118, [&] { office().open(documentPath); }, step);
    officeStep(
        120, [&] { page = office().renderFirstPage(kPageDotsPerMeter); }, step);
    const bool written = step(122, [&] {
        if (page.isNull())
            throw Failure(QStringLiteral("There is no picture of the page to save."));
        replaceFile(bmpBytes(page), picturePath);
    });
    officeStep(
        124, [&] { office().closeWithoutSaving(); }, step);
    officeStep(
        126, [&] { office().quit(); }, step);
    m_office = nullptr;
    return written;
}

} // namespace lumarel
