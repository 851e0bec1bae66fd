#include "flyer/EngineCheck.h"

#include "office/OfficePool.h"

#include <QStringList>

#include <exception>

namespace lumarel {

QString engineAdvice()
{
    const QStringList advice{
        QStringLiteral("Error 842001. LibreOffice Writer could not be started, and the flyers "
                       "are made with it."),
        QStringLiteral("1. Please make sure LibreOffice Writer is installed on this computer: "
                       "on Debian, install the package libreoffice-writer (for example with "
                       "\"sudo apt install libreoffice-writer\")."),
        QStringLiteral("2. Please open LibreOffice Writer normally and make sure a blank document "
                       "opens immediately without any interrupting window (such as a document "
                       "recovery window)."),
        QStringLiteral("3. Please make sure that when you double-click on a DOC or DOCX file "
                       "that LibreOffice Writer opens normally without any interrupting "
                       "messages."),
        QStringLiteral("4. The smaller package libreoffice-writer-nogui is enough for this "
                       "software; start it again once Writer is installed."),
    };
    return advice.join(QStringLiteral("\r\n\r\n"));
}

bool engineAvailable(QString* reason)
{
    // Whatever goes wrong on the way means no office.
    QString failure;
    try {
        failure = programOffices().waitUntilConnected();
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = QStringLiteral("The office could not be started.");
    }
    if (reason)
        *reason = failure;
    return failure.isEmpty();
}

} // namespace lumarel
