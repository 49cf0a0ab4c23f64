#include "uSettings.h"

#include "uAppPaths.h"
#include "uIniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

const QString DefaultFaceName = QStringLiteral("Times New Roman");

const QString CommonDataSection = QStringLiteral("CommonData");
const QString BlankSettingsSection = QStringLiteral("BlankSettings");
const QString SettingsSection = QStringLiteral("Settings");

const int FontKinds[] = {fkSeriaNumb, fkFIO, fkSchool, fkSubjMark, fkBackSide};

/// The nine common strings with their keys, in the order they are written.
struct TCommonKey
{
  const char *Key;
  QString TCommonData::*Field;
};

const TCommonKey CommonKeys[] = {
    {"God", &TCommonData::God},
    {"School1", &TCommonData::School1},
    {"School2", &TCommonData::School2},
    {"DopSchTop", &TCommonData::DopSchTop},
    {"DopSchDown", &TCommonData::DopSchDown},
    {"School1_11", &TCommonData::School1_11},
    {"School2_11", &TCommonData::School2_11},
    {"DopSchTop_11", &TCommonData::DopSchTop_11},
    {"DopSchDown_11", &TCommonData::DopSchDown_11},
};

/// Deletes the plain copy when it goes out of scope, also when an error
/// leaves early, so that the unscrambled settings never stay on the disk.
class TPlainCopyRemover
{
public:
  explicit TPlainCopyRemover(const QString &fileName) : FFileName(fileName) {}
  ~TPlainCopyRemover() { QFile::remove(FFileName); }
  TPlainCopyRemover(const TPlainCopyRemover &) = delete;
  TPlainCopyRemover &operator=(const TPlainCopyRemover &) = delete;

private:
  QString FFileName;
};

} // namespace

QString SettingsFileName()
{
  return ProgramFile(QStringLiteral("common.dat"));
}

QString SettingsPlainFileName()
{
  const QString dat = SettingsFileName();
  const QFileInfo info(dat);
  return dat.left(dat.size() - info.suffix().size()) + QStringLiteral("ini");
}

TSettings ReadSettingsFile()
{
  const QString datName = SettingsFileName();
  const QString plainName = SettingsPlainFileName();
  const TPlainCopyRemover remover(plainName);

  DecryptFile(datName, plainName, ProgramCryptKey);
  const TIniFile ini(plainName);

  TSettings settings;
  settings.IssueDate = ini.ReadDate(CommonDataSection, QStringLiteral("IssueDate"), QDate::currentDate());
  for (const TCommonKey &key : CommonKeys)
    (settings.Common.*key.Field) = ini.ReadString(CommonDataSection, QLatin1String(key.Key), QString());
  settings.LastFileName = ini.ReadString(BlankSettingsSection, QStringLiteral("LastFileName"), QString());
  for (const int kind : FontKinds) {
    const TDtkFont defaults = DefaultFontOfKind(kind);
    ReadFont(ini, FontSectionName(kind), *settings.Fonts.OfKind(kind), defaults.pointSize(), defaults.bold(),
             defaults.italic());
  }
  settings.AutoCheckUpdate = ini.ReadBool(SettingsSection, QStringLiteral("AutoCheckUpdate"), true);
  return settings;
}

void WriteSettingsFile(const TSettings &settings)
{
  const QString datName = SettingsFileName();
  const QString plainName = SettingsPlainFileName();
  const TPlainCopyRemover remover(plainName);

  // A plain copy left over from an interrupted run must not lend its lines
  // to the new file.
  QFile::remove(plainName);
  TIniFile ini(plainName);
  ini.WriteDate(CommonDataSection, QStringLiteral("IssueDate"), settings.IssueDate);
  for (const TCommonKey &key : CommonKeys)
    ini.WriteString(CommonDataSection, QLatin1String(key.Key), (settings.Common.*key.Field));
  ini.WriteString(BlankSettingsSection, QStringLiteral("LastFileName"), settings.LastFileName);
  for (const int kind : FontKinds)
    WriteFont(ini, FontSectionName(kind), *settings.Fonts.OfKind(kind));
  ini.WriteBool(SettingsSection, QStringLiteral("AutoCheckUpdate"), settings.AutoCheckUpdate);
  ini.UpdateFile();

  EncryptFile(plainName, datName, ProgramCryptKey);
}

void ReadFont(const TIniFile &ini, const QString &section, TDtkFont &font, int defaultSize, bool defaultBold,
              bool defaultItalic)
{
  const QString name = ini.ReadString(section, QStringLiteral("Name"), DefaultFaceName);
  font.setFamily(name.isEmpty() ? DefaultFaceName : name);
  const int size = ini.ReadInteger(section, QStringLiteral("Size"), defaultSize);
  font.setPointSize(size > 0 ? size : defaultSize);
  font.setBold(false);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  if (ini.ReadBool(section, QStringLiteral("Bold"), defaultBold))
    font.setBold(true);
  if (ini.ReadBool(section, QStringLiteral("Italic"), defaultItalic))
    font.setItalic(true);
}

void WriteFont(TIniFile &ini, const QString &section, const TDtkFont &font)
{
  ini.WriteString(section, QStringLiteral("Name"), font.family());
  ini.WriteInteger(section, QStringLiteral("Size"), font.pointSize());
  ini.WriteBool(section, QStringLiteral("Bold"), font.bold());
  ini.WriteBool(section, QStringLiteral("Italic"), font.italic());
}

QString YearFieldText(const QString &god, const QDate &issueDate)
{
  if (!god.isEmpty())
    return QStringLiteral("20") + god;
  return issueDate.toString(QStringLiteral("yyyy"));
}
