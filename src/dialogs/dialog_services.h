#pragma once
// The modal questions a dialog may ask while it is open (a file to open, a colour,
// an alert), behind one small interface so that tests answer them without a
// person. TQtDialogServices shows the platform dialogs.

#include <optional>
#include <string>

#include "map/base/color.h"

class QWidget;

class IDialogServices {
 public:
  virtual ~IDialogServices() = default;
  // A file to open; Filter is in the "Description|*.a;*.b|..." form. Empty when
  // cancelled.
  virtual std::optional<std::string> OpenFile(QWidget* Parent, const std::string& Title,
                                              const std::string& Filter) = 0;
  // A colour, starting from Initial; empty when cancelled.
  virtual std::optional<TColor> PickColor(QWidget* Parent, TColor Initial) = 0;
  // A message with an OK button.
  virtual void Alert(QWidget* Parent, const std::string& Text) = 0;
};

class TQtDialogServices : public IDialogServices {
 public:
  std::optional<std::string> OpenFile(QWidget* Parent, const std::string& Title,
                                      const std::string& Filter) override;
  std::optional<TColor> PickColor(QWidget* Parent, TColor Initial) override;
  void Alert(QWidget* Parent, const std::string& Text) override;
};

// The folder the platform's file dialogs open in: the open map's folder once
// there is one (empty: the dialog's own choice).
void SetFileDialogFolder(const std::string& Folder);
const std::string& FileDialogFolder();

// The shared instance used when a dialog is given no services of its own.
IDialogServices& DefaultDialogServices();

// Turns a "Description|*.a;*.b|..." filter into Qt's "Description (*.a *.b);;..." form.
std::string QtFileFilter(const std::string& Filter);
