#pragma once
// TSongData: the base of every persistent document object. It offers copying
// (Assign/AssignTo) and a binary stream form.

#include "record/stream.h"

class TSongData {
 public:
  virtual ~TSongData() = default;

  // Copies this object into Dest. The base refuses with EConvertError; each record
  // class copies its fields when Dest is of its class and defers to its parent
  // otherwise.
  virtual void AssignTo(TSongData* Dest) const;
  // Asks Source to copy itself into this object.
  virtual void Assign(const TSongData* Source);
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) const = 0;

  // The class name used in conversion messages.
  virtual const char* ClassName() const { return "TSongData"; }

 protected:
  // Raises the conversion error naming this object's class and Dest's class.
  [[noreturn]] void RefuseAssign(const TSongData* Dest) const;
};
