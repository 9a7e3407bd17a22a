#pragma once
// Glyphs and tooltips of the window's commands, built in one place. A command's
// glyph is the SVG file data/icons/<object name>.svg, compiled into the program
// as the resource ":/icons/<object name>.svg"; its tooltip is its caption without
// the accelerator mark, followed by its shortcuts in brackets.

#include <QIcon>
#include <QString>

class QAction;

// Caption without its accelerator mark ("(&X)" in Japanese captions, "&" in
// others) and without trailing dots: "Save &As..." -> "Save As".
QString PlainCaption(const QString& Caption);
// The glyph of the command named Name; a null icon when there is none.
QIcon CommandGlyph(const QString& Name);
// "Caption (Shortcut, Other shortcut)", or the bare caption without shortcuts.
QString CommandToolTip(const QAction& Command);
// Gives Command its glyph (when one exists) and its tooltip. Run again after the
// caption or the shortcuts changed.
void DecorateCommand(QAction& Command);
