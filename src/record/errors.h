#pragma once
// Exceptions of the document core. Every failure is reported by raising one of
// these with a message fit to show the user as it stands.

#include <stdexcept>
#include <string>

// Base of every error the core raises.
class EVellumError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value that cannot be converted or copied into another ("%s を %s に代入する…",
// "'%s' は整数ではありません").
class EConvertError : public EVellumError {
 public:
  using EVellumError::EVellumError;
};

// Index, capacity or count out of range in TListClone.
class EListError : public EVellumError {
 public:
  using EVellumError::EVellumError;
};

// A file that cannot be opened, created, read or written; the message names the file.
class EFileError : public EVellumError {
 public:
  using EVellumError::EVellumError;
};

// An image that cannot be decoded or encoded, or a size that cannot be allocated.
class EImageError : public EVellumError {
 public:
  using EVellumError::EVellumError;
};

// Formats a message with printf-style "%s"/"%d" placeholders taken in order.
std::string FormatMessage(const char* Format, const std::string& A);
std::string FormatMessage(const char* Format, const std::string& A, const std::string& B);
