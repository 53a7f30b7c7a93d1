// The toolkit's own texts (standard buttons, file dialogs) in Russian, as the rest of the
// programs speak.
#pragma once

class QCoreApplication;

namespace quarto {

// Loads the toolkit's Russian translations when the system has them (otherwise the toolkit
// keeps its English texts), and in any case names the standard dialog buttons "ОК",
// "Отмена", "Да" and "Нет".
void InstallRussianToolkitTexts(QCoreApplication& app);

} // namespace quarto
