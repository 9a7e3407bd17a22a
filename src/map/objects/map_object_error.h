#pragma once
// The error of an object that cannot be read or that breaks a rule of its type.

#include "record/errors.h"

class EMapObjectError : public EVellumError {
 public:
  using EVellumError::EVellumError;
};
