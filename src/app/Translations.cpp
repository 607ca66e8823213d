#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

CTranslations::~CTranslations()
{
    for (const auto& translator : m_installed)
        QCoreApplication::removeTranslator(translator.get());
}

bool CTranslations::Install(const QLocale& locale)
{
    auto own = std::make_unique<QTranslator>();
    if (!own->load(locale, QStringLiteral("tarnwick"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        return false;
    // Qt's own texts (the file dialogs, the buttons of message boxes) come
    // from the system's Qt translations, where they are installed.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        m_installed.push_back(std::move(qt));
    }
    QCoreApplication::installTranslator(own.get());
    m_installed.push_back(std::move(own));
    return true;
}
