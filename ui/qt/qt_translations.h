// Qt's own texts (standard buttons such as 确定, the edit boxes' context
// menus) in Simplified Chinese, whatever the desktop's language: the window
// is Chinese throughout.
#pragma once

#include <QCoreApplication>
#include <QTranslator>

namespace zelkor {

// Loads Qt's Simplified Chinese translations (Debian package
// qt6-translations-l10n) into `app` and gives the translator, which `app`
// owns; nullptr when they are not installed, and Qt's texts stay English.
QTranslator* InstallChineseQtTranslations(QCoreApplication& app);

}  // namespace zelkor
