// Starts the editor: the main window, its settings, the offer of recovery copies
// left by a session that did not end normally, and the map named on the command
// line, if any.

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QStringList>
#include <QUrl>
#include <memory>

#include "editor/editor_dialogs.h"
#include "editor/editor_settings.h"
#include "editor/map_edit2_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The name picks the settings folder (~/.config/vellumcraft); the title shown in
  // captions and message boxes comes from the language file.
  QApplication::setApplicationName("vellumcraft");
  QApplication::setApplicationDisplayName("Vellumcraft");
  QApplication::setApplicationVersion(VC_VERSION);
  QApplication::setWindowIcon(QIcon(":/vellumcraft.svg"));
  QApplication::setDesktopFileName("vellumcraft");

  TMapEdit2Form form(std::make_unique<TQtEditorDialogs>(),
                     std::make_unique<TEditorSettings>(TEditorSettings::ForProgram()));
  // A Japanese user locale reads the built-in texts; others start in English.
  form.SetJapaneseLocale(QLocale::system().language() == QLocale::Japanese);
  form.LoadSettings();
  form.show();
  // Work left unsaved by a session that did not end normally comes first; when it
  // is restored, the map named on the command line is not opened over it.
  const bool restored = form.OfferRecovery();
  const QStringList args = QApplication::arguments();
  // The desktop entry passes a path (%f); a file manager may pass a file:// URL.
  if (!restored && args.size() > 1) {
    const QUrl url(args.at(1));
    form.OpenMap(url.isLocalFile() ? url.toLocalFile() : args.at(1));
  }
  return QApplication::exec();
}
