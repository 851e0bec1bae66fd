#include "app/Translations.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>

namespace lumarel {

Translations::Translations(const QLocale& language)
{
    const auto install = [&](const QString& name, const QString& folder) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(language, name, QStringLiteral("_"), folder) ||
            !QCoreApplication::installTranslator(translator.get()))
            return false;
        m_installed.push_back(std::move(translator));
        return true;
    };
    install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    m_ownTexts = install(QStringLiteral("lumarel"), QStringLiteral(":/i18n"));
    // Qt's translations alone would turn the windows round for a right-to-left language while
    // every text in them stays English.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setLayoutDirection(m_ownTexts ? language.textDirection()
                                                       : Qt::LeftToRight);
}

Translations::~Translations()
{
    for (const auto& translator : m_installed)
        QCoreApplication::removeTranslator(translator.get());
}

} // namespace lumarel
