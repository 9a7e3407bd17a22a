#include "dialogs/dialog_services.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

std::string QtFileFilter(const std::string& Filter) {
  std::string out;
  size_t pos = 0;
  while (pos < Filter.size()) {
    size_t bar = Filter.find('|', pos);
    if (bar == std::string::npos) break;
    const std::string name = Filter.substr(pos, bar - pos);
    size_t end = Filter.find('|', bar + 1);
    if (end == std::string::npos) end = Filter.size();
    std::string patterns = Filter.substr(bar + 1, end - bar - 1);
    for (char& c : patterns)
      if (c == ';') c = ' ';
    if (!out.empty()) out += ";;";
    // The description already shows its patterns; Qt still needs them in brackets.
    out += name + " (" + patterns + ")";
    pos = end + 1;
  }
  return out;
}

namespace {
std::string& DialogFolder() {
  static std::string folder;
  return folder;
}
}  // namespace

void SetFileDialogFolder(const std::string& Folder) { DialogFolder() = Folder; }
const std::string& FileDialogFolder() { return DialogFolder(); }

std::optional<std::string> TQtDialogServices::OpenFile(QWidget* Parent, const std::string& Title,
                                                       const std::string& Filter) {
  const QString name = QFileDialog::getOpenFileName(Parent, QString::fromStdString(Title),
                                                    QString::fromStdString(FileDialogFolder()),
                                                    QString::fromStdString(QtFileFilter(Filter)));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<TColor> TQtDialogServices::PickColor(QWidget* Parent, TColor Initial) {
  const QColor start(Initial & 0xFF, (Initial >> 8) & 0xFF, (Initial >> 16) & 0xFF);
  const QColor c = QColorDialog::getColor(start, Parent);
  if (!c.isValid()) return std::nullopt;
  return TColor(c.red() | (c.green() << 8) | (c.blue() << 16));
}

void TQtDialogServices::Alert(QWidget* Parent, const std::string& Text) {
  QMessageBox::information(Parent, QGuiApplication::applicationDisplayName(),
                           QString::fromStdString(Text));
}

IDialogServices& DefaultDialogServices() {
  static TQtDialogServices services;
  return services;
}
