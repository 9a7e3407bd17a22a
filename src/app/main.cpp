// Starts the editor: the main window, its settings, and the map named on the
// command line, if any.

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <memory>

#include "editor/editor_dialogs.h"
#include "editor/editor_settings.h"
#include "editor/map_edit2_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("vellumcraft");

  TMapEdit2Form form(std::make_unique<TQtEditorDialogs>(),
                     std::make_unique<TEditorSettings>(TEditorSettings::DefaultFileName()));
  // A Japanese user locale reads the built-in texts; others start in English.
  form.SetJapaneseLocale(QLocale::system().language() == QLocale::Japanese);
  form.LoadSettings();
  form.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) form.OpenMap(args.at(1));
  return QApplication::exec();
}
