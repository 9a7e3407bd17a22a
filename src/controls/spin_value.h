#pragma once
// The value rules of the numeric spin edits, kept free of widgets: reading a
// value from the text, clamping to the range, writing the text back and
// filtering typed characters.

#include <cstdint>
#include <string>

// The range is enforced only when MinValue and MaxValue differ.
template <typename T>
T ClampSpinValue(T Value, T MinValue, T MaxValue) {
  if (MinValue == MaxValue) return Value;
  if (Value > MaxValue) return MaxValue;
  if (Value < MinValue) return MinValue;
  return Value;
}

struct TSpinIntRules {
  int64_t MinValue = 0;
  int64_t MaxValue = 0;
  bool ShowSign = false;
  std::string ZeroSign = "0";

  int64_t Clamp(int64_t V) const { return ClampSpinValue(V, MinValue, MaxValue); }
  // The value the text stands for, unclamped when it parses; the clamped 0 when
  // it does not.
  int64_t Read(const std::string& Text) const;
  // The text for a value, clamped first.
  std::string Write(int64_t V) const;
  // Whether the text stands for a number at all.
  bool Parses(const std::string& Text) const;
};

struct TSpinRealRules {
  long double MinValue = 0;
  long double MaxValue = 0;
  bool ShowSign = false;
  char DecimalSeparator = '.';

  long double Clamp(long double V) const { return ClampSpinValue(V, MinValue, MaxValue); }
  long double Read(const std::string& Text) const;
  std::string Write(long double V) const;
  bool Parses(const std::string& Text) const;
};

// Parses a whole decimal number with an optional leading sign that fits into 32
// bits. Returns false for anything else (empty text, blanks, overflow).
bool ParseSpinInt(const std::string& Text, int64_t& Value);
// Parses a real number written with the given decimal separator (an optional
// sign, digits, one separator, an optional exponent). Returns false otherwise.
bool ParseSpinReal(const std::string& Text, char DecimalSeparator, long double& Value);
// Shortest general form with up to 15 significant digits.
std::string FormatSpinReal(long double V, char DecimalSeparator);

// Whether a typed character may enter the field. Key is the character code;
// control characters (below 32 and 127) other than carriage return pass unless
// the editor is disabled, where backspace is refused too. Signs only at the
// start of the text (CaretPos 0).
bool IsValidSpinChar(char32_t Key, bool EditorEnabled, bool RealValue, char DecimalSeparator,
                     int CaretPos);
