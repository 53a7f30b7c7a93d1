#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace quarto {

namespace {

// The standard buttons of the toolkit's dialogs, as the programs name them. The toolkit's own
// Russian catalogue leaves "OK" in Latin letters and gives "Да" and "Нет" a mnemonic; these
// take precedence over it.
class TStandardButtonTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override {
        if (!context || !sourceText ||
            (std::strcmp(context, "QPlatformTheme") != 0 &&
             std::strcmp(context, "QGnomeTheme") != 0))
            return {};
        struct TText {
            const char* Source;
            const char* Russian; // UTF-8
        };
        static const TText texts[] = {
            {"OK", "ОК"},          {"&OK", "ОК"},  {"Cancel", "Отмена"},
            {"&Cancel", "Отмена"}, {"&Yes", "Да"}, {"&No", "Нет"},
        };
        for (const TText& t : texts)
            if (std::strcmp(sourceText, t.Source) == 0)
                return QString::fromUtf8(t.Russian);
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

void InstallRussianToolkitTexts(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Russian), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    // Installed last, so asked first.
    QCoreApplication::installTranslator(new TStandardButtonTexts(&app));
}

} // namespace quarto
