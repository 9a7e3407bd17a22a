#include "dialogs/program_folders.h"

#include <QCoreApplication>
#include <QFile>

#include "map/base/data_folders.h"

#ifndef VC_DATA_DIR
#define VC_DATA_DIR ""
#endif

std::vector<std::filesystem::path> ProgramDataFolders(const std::string& Name) {
  const std::filesystem::path exeDir =
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  return DataFolders(exeDir, VC_DATA_DIR, Name);
}
