// The toolkit's standard dialog buttons speak Russian, as the rest of the programs do.
#include "common/FileSystem.h"
#include "common/qt/QtText.h"
#include "platform/Translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(ToolkitTexts, MessageBoxButtonsReadOkCancelYesNoInRussian) {
    quarto::InstallRussianToolkitTexts(*QCoreApplication::instance());
    struct TCase {
        QMessageBox::StandardButton Button;
        const char* Text;
    };
    const TCase cases[] = {
        {QMessageBox::Ok, "ОК"},
        {QMessageBox::Cancel, "Отмена"},
        {QMessageBox::Yes, "Да"},
        {QMessageBox::No, "Нет"},
    };
    QMessageBox box(QMessageBox::Question, QString::fromUtf8("Печать"), QString::fromUtf8("?"),
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    for (const TCase& c : cases) {
        QAbstractButton* button = box.button(c.Button);
        ASSERT_NE(button, nullptr) << c.Text;
        EXPECT_EQ(button->text(), QString::fromUtf8(c.Text));
    }
}

TEST(ToolkitTexts, TheToolkitsOwnRussianCatalogueIsLoadedWhenTheSystemHasIt) {
    const QString catalogue =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm");
    if (!quarto::FileExists(quarto::ToUtf8(catalogue)))
        GTEST_SKIP() << "no Russian catalogue of the toolkit on this system";
    quarto::InstallRussianToolkitTexts(*QCoreApplication::instance());
    // The file dialogs' own texts, which the standard buttons above leave to the catalogue.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Save"),
              QString::fromUtf8("Сохранить"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"),
              QString::fromUtf8("Перейти к:"));
}
