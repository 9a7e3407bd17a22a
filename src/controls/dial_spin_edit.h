#pragma once
// Numeric spin edits with a dial knob: an up/down button pair steps the value by
// Increment, and dragging the knob vertically changes it by DialIncrement per
// pixel (moving up raises it). The range [MinValue, MaxValue] is enforced when a
// value is set, stepped, dialled or when the field loses focus; a value typed out
// of range reads unclamped until then. Built on QAbstractSpinBox, which supplies
// the text field and the buttons; the value itself lives in the text.

#include <QAbstractSpinBox>
#include <cstdint>
#include <functional>
#include <string>

#include "controls/spin_value.h"

class TDireDrawPanel;

enum TShiftStateFlag : uint32_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = uint32_t;

enum class TUDBtnType { btNext, btPrev };  // up, down

using TOnUpDownChanging =
    std::function<void(QObject* Sender, TShiftState Shift, TUDBtnType Button)>;

enum class TSpinAlignment { taLeftJustify, taRightJustify, taCenter };

// The common part of both controls: the knob, the keyboard filter, the steps.
class TDialSpinBase : public QAbstractSpinBox {
  Q_OBJECT

 public:
  explicit TDialSpinBase(QWidget* Parent = nullptr);

  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  TSpinAlignment Alignment() const { return FAlignment; }
  // Raises std::invalid_argument for a value outside the three alignments.
  void SetAlignment(TSpinAlignment Value);
  QString Text() const;
  void SetText(const QString& Value);

  TOnUpDownChanging OnUpDownChanging;

  TDireDrawPanel* Dial() const { return FDial; }
  // Whether a typed character may enter the field at the caret.
  bool IsValidChar(char32_t Key) const;
  // One step in the given direction, as the up/down buttons and arrow keys do.
  void UpDownClick(TUDBtnType Button);

  void stepBy(int Steps) override;
  // Brings a typed value into the range, as leaving the field does.
  void ApplyRange() { ClampOnExit(); }

 signals:
  // Raised whenever the text changes (typing or setting the value).
  void Changed();

 protected:
  virtual void StepValue(int Direction) = 0;
  virtual void DialValue(int64_t Pixels) = 0;
  virtual void ClampOnExit() = 0;
  virtual bool RealValue() const = 0;
  char DecimalSeparator() const;

  void initStyleOption(QStyleOptionSpinBox* Option) const override;
  StepEnabled stepEnabled() const override;
  QValidator::State validate(QString& Input, int& Pos) const override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void PlaceDial();

  TDireDrawPanel* FDial;
  bool FEditorEnabled = true;
  bool FAutoSelect = true;
  TSpinAlignment FAlignment = TSpinAlignment::taRightJustify;
  int FLastY = 0;
};

class TDialSpinEdit : public TDialSpinBase {
  Q_OBJECT

 public:
  explicit TDialSpinEdit(QWidget* Parent = nullptr);

  int64_t Value() const;
  void SetValue(int64_t V);
  int64_t MinValue() const { return FRules.MinValue; }
  void SetMinValue(int64_t V) { FRules.MinValue = V; }
  int64_t MaxValue() const { return FRules.MaxValue; }
  void SetMaxValue(int64_t V) { FRules.MaxValue = V; }
  int64_t Increment() const { return FIncrement; }
  void SetIncrement(int64_t V) { FIncrement = V; }
  int64_t DialIncrement() const { return FDialIncrement; }
  void SetDialIncrement(int64_t V) { FDialIncrement = V; }
  bool ShowSign() const { return FRules.ShowSign; }
  void SetShowSign(bool V);
  QString ZeroSign() const { return QString::fromStdString(FRules.ZeroSign); }
  void SetZeroSign(const QString& V);

 protected:
  void StepValue(int Direction) override;
  void DialValue(int64_t Pixels) override;
  void ClampOnExit() override;
  bool RealValue() const override { return false; }

 private:
  TSpinIntRules FRules;
  int64_t FIncrement = 1;
  int64_t FDialIncrement = 1;
};

class TDialRealSpinEdit : public TDialSpinBase {
  Q_OBJECT

 public:
  explicit TDialRealSpinEdit(QWidget* Parent = nullptr);

  long double Value() const;
  void SetValue(long double V);
  long double MinValue() const { return FRules.MinValue; }
  void SetMinValue(long double V) { FRules.MinValue = V; }
  long double MaxValue() const { return FRules.MaxValue; }
  void SetMaxValue(long double V) { FRules.MaxValue = V; }
  long double Increment() const { return FIncrement; }
  void SetIncrement(long double V) { FIncrement = V; }
  long double DialIncrement() const { return FDialIncrement; }
  void SetDialIncrement(long double V) { FDialIncrement = V; }
  bool ShowSign() const { return FRules.ShowSign; }
  void SetShowSign(bool V);

 protected:
  void StepValue(int Direction) override;
  void DialValue(int64_t Pixels) override;
  void ClampOnExit() override;
  bool RealValue() const override { return true; }

 private:
  TSpinRealRules Rules() const;

  TSpinRealRules FRules;
  long double FIncrement = 1.0L;
  long double FDialIncrement = 1.0L;
};
