#include "SampleDatabase.h"

#include <QDir>
#include <QFileInfo>

QString SampleDatabasePath() {
  const QFileInfo sample(QDir::current(), QStringLiteral("trading.db"));
  return sample.isFile() ? sample.absoluteFilePath() : QString();
}
