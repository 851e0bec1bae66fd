#pragma once

#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace lumarel {

// The program's texts and Qt's own (its dialogs' buttons and captions) in the user's
// language, for as long as the object lives. English, the texts' own language, needs none.
class Translations
{
public:
    explicit Translations(const QLocale& language = QLocale::system());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // True when the program's own texts are translated for the language.
    bool ownTexts() const { return m_ownTexts; }

private:
    std::vector<std::unique_ptr<QTranslator>> m_installed;
    bool m_ownTexts = false;
};

} // namespace lumarel
