// The toolkit's standard dialog buttons speak Russian, as the rest of the programs do.
#include "platform/Translations.h"

#include <QApplication>
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
