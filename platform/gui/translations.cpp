#include "platform/gui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The installed translator is a child of the application object with this
// name, so that a second call replaces it and the application frees it.
constexpr const char* TranslatorName = "korvane-desktop-translations";

QString ToQ(const String& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

void RemoveInstalled(QCoreApplication* App) {
  if (auto* old = App->findChild<QTranslator*>(TranslatorName, Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
}

}  // namespace

bool LoadDesktopTranslations(const String& ALocale) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  RemoveInstalled(app);
  const QLocale locale = ALocale.empty() ? QLocale::system() : QLocale(ToQ(ALocale));
  auto* translator = new QTranslator(app);
  translator->setObjectName(TranslatorName);
  // "qt_<locale>.qm" gathers the catalogues of the toolkit's modules.
  if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}

String DesktopTranslation(const char* AContext, const char* AText) {
  const QString text = QCoreApplication::translate(AContext, AText);
  return String(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}
