#pragma once

class QCoreApplication;

// Qt's own texts (the standard buttons and dialogs: "はい", "キャンセル", the file dialog) in
// Japanese, as the rest of the program: from the "translations" folder beside the program (the
// Windows programs carry theirs), else from the system's Qt. False when neither has them; the
// program then shows Qt's texts in English.
bool InstallQtTranslations(QCoreApplication& app);
