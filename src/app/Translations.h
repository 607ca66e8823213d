#pragma once
// The program's texts in the user's language: Tarnwick's own translations
// (built into the program from translations/*.ts) and Qt's for its dialogs.

#include <QLocale>
#include <QTranslator>
#include <memory>
#include <vector>

class CTranslations {
public:
    CTranslations() = default;
    ~CTranslations(); // the texts return to English
    CTranslations(const CTranslations&) = delete;
    CTranslations& operator=(const CTranslations&) = delete;

    // Installs the translations for the first of the locale's languages
    // that Tarnwick has; returns false (English stays) when it has none.
    bool Install(const QLocale& locale);

private:
    std::vector<std::unique_ptr<QTranslator>> m_installed;
};
