#include "record/song_data.h"

#include "record/errors.h"

void TSongData::AssignTo(TSongData* Dest) const { RefuseAssign(Dest); }

void TSongData::Assign(const TSongData* Source) {
  if (Source == nullptr) RefuseAssign(nullptr);
  Source->AssignTo(this);
}

void TSongData::RefuseAssign(const TSongData* Dest) const {
  throw EConvertError(FormatMessage("%s を %s に代入することはできません", ClassName(),
                                    Dest ? Dest->ClassName() : "nil"));
}
