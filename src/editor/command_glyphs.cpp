#include "editor/command_glyphs.h"

#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QRegularExpression>
#include <QStringList>

QIcon CommandGlyph(const QString& Name) {
  const QString path = ":/icons/" + Name + ".svg";
  if (Name.isEmpty() || !QFile::exists(path)) return {};
  return QIcon(path);
}

QString PlainCaption(const QString& Caption) {
  QString caption = Caption;
  // A Japanese caption carries its accelerator as "(&X)", which goes altogether.
  static const QRegularExpression kBracketed("\\(&[^&)]\\)");
  caption.remove(kBracketed);
  // "&&" is a literal ampersand; a single one marks the accelerator.
  caption.replace("&&", QChar(0xFFFF)).remove('&').replace(QChar(0xFFFF), "&");
  // Captions like "Save &As..." end in dots that a tooltip does not need.
  while (caption.endsWith('.') || caption.endsWith(QChar(0x2026))) caption.chop(1);
  return caption;
}

QString CommandToolTip(const QAction& Command) {
  const QString caption = PlainCaption(Command.text());
  QStringList keys;
  for (const QKeySequence& k : Command.shortcuts())
    if (!k.isEmpty()) keys << k.toString(QKeySequence::NativeText);
  if (keys.isEmpty()) return caption;
  return caption + " (" + keys.join(", ") + ")";
}

void DecorateCommand(QAction& Command) {
  if (Command.icon().isNull()) {
    const QIcon glyph = CommandGlyph(Command.objectName());
    if (!glyph.isNull()) Command.setIcon(glyph);
  }
  Command.setToolTip(CommandToolTip(Command));
}
