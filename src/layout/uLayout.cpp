#include "uLayout.h"

#include "render/MyCanvasUtils.h"
#include "render/MyTextUtils.h"
#include "store/uIniFile.h"

namespace {

using enum TLayoutItem;

constexpr int NoMaster = -1;

/// One row of the item table. A null field name means that coordinate is
/// taken from the master.
struct TItemDef
{
  const char *Name;
  TLineKind Kind;
  int Master;
  quint8 Side;
  quint8 Grades;
  const char *XField;
  int DefaultX;
  const char *YField;
  double DefaultY;
  int L; ///< 0: the master's length
};

constexpr int M(TLayoutItem item)
{
  return int(item);
}

const TItemDef Items[LayoutItemCount] = {
    {"SeriaLine", TLineKind::Plain, NoMaster, 0, 3, "edSeriaX", 30, "edSeriaY", 22, 10},
    {"NumberLine", TLineKind::LinkedY, M(SeriaLine), 0, 3, "edNumberX", 45, nullptr, 0, 32},
    {"Fio1Line", TLineKind::Plain, NoMaster, 0, 3, "edFio1X", 5, "edFio1Y", 31, 98},
    {"Fio2Line", TLineKind::LinkedX, M(Fio1Line), 0, 3, nullptr, 0, "edFio2Y", 38, 0},
    {"LeftGenderLine9", TLineKind::Plain, NoMaster, 0, 1, "edLeftGenderX_9", 18, "edLeftGenderY_9", 44, 4},
    {"GodLine9", TLineKind::Plain, NoMaster, 0, 1, "edGodX_9", 31, "edGodY_9", 44, 7},
    {"LeftGenderLine11", TLineKind::Plain, NoMaster, 0, 2, "edLeftGenderX_11", 15, "edLeftGenderY_11", 44, 4},
    {"GodLine11", TLineKind::Plain, NoMaster, 0, 2, "edGodX_11", 12, "edGodY_11", 50, 7},
    {"RightGenderLine", TLineKind::Plain, NoMaster, 0, 3, "edRightGenderX", 120, "edRightGenderY", 86, 6},
    {"School1Line", TLineKind::LinkedX, M(Fio1Line), 0, 3, nullptr, 0, "edSchool1Y", 55, 0},
    {"School2Line", TLineKind::LinkedX, M(Fio1Line), 0, 3, nullptr, 0, "edSchool2Y", 61, 0},
    {"LeftFirstSubjLine", TLineKind::Plain, NoMaster, 0, 3, "edLeftFirstSubjX", 5, "edLeftFirstSubjY", 78, 63},
    {"LeftFirstMarkLine", TLineKind::LinkedY, M(LeftFirstSubjLine), 0, 3, "edLeftFirstMarkX", 73, nullptr, 0, 30},
    {"RightFirstSubjLine", TLineKind::Plain, NoMaster, 0, 3, "edRightFirstSubjX", 107, "edRightFirstSubjY", 17, 63},
    {"RightFirstMarkLine", TLineKind::LinkedY, M(RightFirstSubjLine), 0, 3, "edRightFirstMarkX", 175, nullptr, 0, 30},
    {"LeftLastLine", TLineKind::LinkedX, M(LeftFirstSubjLine), 0, 3, nullptr, 0, "edLeftLastY", 138, 63},
    {"RightLastLine", TLineKind::LinkedX, M(RightFirstSubjLine), 0, 3, nullptr, 0, "edRightLastY", 77, 63},
    {"DpaFirstLine", TLineKind::LinkedX, M(RightFirstSubjLine), 0, 3, nullptr, 0, "edDpaFirstY", 110, 63},
    {"BackTopGenderLine", TLineKind::Plain, NoMaster, 1, 3, "edBackTopGenderX", 38, "edBackTopGenderY", 18, 9},
    {"FacultFirstLine", TLineKind::Plain, NoMaster, 1, 3, "edFacultX", 14, "edFacultFirstY", 29, 75},
    {"Get1Line", TLineKind::Plain, NoMaster, 1, 1, "edGet1X", 78, "edGet1Y", 59, 6},
    {"Get2Line", TLineKind::LinkedX, M(FacultFirstLine), 1, 1, nullptr, 0, "edGet2Y", 64, 75},
    {"AwardLine", TLineKind::LinkedX, M(FacultFirstLine), 1, 1, nullptr, 0, "edAwardY", 77, 49},
    {"Back9LowerGenderLine", TLineKind::LinkedY, M(AwardLine), 1, 1, "edBack9LowerGenderX", 84, nullptr, 0, 6},
    {"Director9Line", TLineKind::Plain, NoMaster, 1, 1, "edDirector9X", 38, "edDirector9Y", 99, 30},
    {"RegNum9Line", TLineKind::Plain, NoMaster, 1, 1, "edRegNum9X", 56, "edRegNum9Y", 131, 28},
    {"ZaLine", TLineKind::Plain, NoMaster, 1, 2, "edZaX", 19, "edZaY", 58, 49},
    // Linked to FacultFirstLine, yet its X is its own.
    {"MedalluLine", TLineKind::LinkedX, M(FacultFirstLine), 1, 2, "edMedalluX", 14, "edMedalluY", 70, 44},
    {"MedalluGenderLine", TLineKind::Plain, NoMaster, 1, 2, "edMedalluGenderX", 47, "edMedalluGenderY", 64, 6},
    {"Award11Line", TLineKind::Plain, NoMaster, 1, 2, "edAward11X", 28, "edAward11Y", 83, 60},
    {"Back11LowerGenderLine", TLineKind::Plain, NoMaster, 1, 2, "edBack11LowerGenderX", 32, "edBack11LowerGenderY", 89,
     5},
    {"Director11Line", TLineKind::Plain, NoMaster, 1, 2, "edDirector11X", 37, "edDirector11Y", 103, 30},
    {"RegNum11Line", TLineKind::Plain, NoMaster, 1, 2, "edRegNum11X", 54, "edRegNum11Y", 131, 28},
    {"DayLine", TLineKind::Plain, NoMaster, 1, 3, "edDayX", 17, "edDateY", 118, 10},
    {"MonthLine", TLineKind::LinkedY, M(DayLine), 1, 3, "edMonthX", 30, nullptr, 0, 28},
    {"YearLine", TLineKind::LinkedY, M(DayLine), 1, 3, "edYearX", 63, nullptr, 0, 7},
    {"FacultLastYLine", TLineKind::LinkedX, M(FacultFirstLine), 1, 3, nullptr, 0, "edFacultLastY", 50, 75},
};

const QString PageWidthField = QStringLiteral("edPageWidth");
const QString PageHeightField = QStringLiteral("edPageHeight");
const QString NonLinesData = QStringLiteral("NonLinesData");
constexpr int DefaultPageWidth = 210;
constexpr int DefaultPageHeight = 148;

/// Defaults of derived coordinates are the master's.
int DefaultX(int item)
{
  return Items[item].XField ? Items[item].DefaultX : DefaultX(Items[item].Master);
}

double DefaultY(int item)
{
  return Items[item].YField ? Items[item].DefaultY : DefaultY(Items[item].Master);
}

int FixedL(int item)
{
  return Items[item].L != 0 ? Items[item].L : FixedL(Items[item].Master);
}

QString Text(const char *latin)
{
  return QString::fromLatin1(latin);
}

/// A whole number as the X fields, the page size and the file's X and L
/// hold it; `fallback` for anything else.
int ReadWhole(const QString &text, int fallback)
{
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  return ok ? value : fallback;
}

/// A real number written with a point or a comma, whatever the locale.
double ReadReal(const QString &text, double fallback)
{
  return StrToFloatAnySep(text.trimmed(), fallback);
}

double ReadRealKey(const TIniFile &ini, const QString &section, const QString &key, double fallback)
{
  return ReadReal(ini.ReadString(section, key, QString()), fallback);
}

struct TFieldDef
{
  QString Name;
  bool IsY;
  QString DefaultText;
};

const QList<TFieldDef> &FieldDefs()
{
  static const QList<TFieldDef> defs = [] {
    QList<TFieldDef> list;
    for (const TItemDef &item : Items) {
      if (item.XField)
        list.append({Text(item.XField), false, QString::number(item.DefaultX)});
      if (item.YField) // every default is whole millimetres, the same text in any locale
        list.append({Text(item.YField), true, QString::number(int(item.DefaultY))});
    }
    list.append({PageWidthField, false, QString::number(DefaultPageWidth)});
    list.append({PageHeightField, false, QString::number(DefaultPageHeight)});
    return list;
  }();
  return defs;
}

const TFieldDef *FindField(const QString &name)
{
  for (const TFieldDef &def : FieldDefs())
    if (def.Name == name)
      return &def;
  return nullptr;
}

} // namespace

TLayout::TLayout()
{
  FLines.reserve(LayoutItemCount);
  for (const TItemDef &def : Items) {
    const TLayoutLine *master = def.Master == NoMaster ? nullptr : FLines[size_t(def.Master)].get();
    FLines.push_back(std::make_unique<TLayoutLine>(Text(def.Name), def.Kind, def.Side, def.Grades, master));
    TLayoutLine *line = FLines.back().get();
    FAll.append(line);
    (def.Side == 0 ? FFront : FBack).append(line);
  }
  for (const TFieldDef &field : FieldDefs())
    FFields.insert(field.Name, field.DefaultText);
}

TLayout::~TLayout() = default;

TLayoutLine *TLayout::LineByName(const QString &name) const
{
  for (TLayoutLine *line : FAll)
    if (line->Name() == name)
      return line;
  return nullptr;
}

int TLayout::FioCentreX() const
{
  const TLayoutLine *fio = Line(Fio1Line);
  return fio->X() + RoundHalfEven(fio->L() / 2.0);
}

const QStringList &TLayout::FieldNames()
{
  static const QStringList names = [] {
    QStringList list;
    for (const TFieldDef &def : FieldDefs())
      list.append(def.Name);
    return list;
  }();
  return names;
}

bool TLayout::IsYField(const QString &field)
{
  const TFieldDef *def = FindField(field);
  return def && def->IsY;
}

QString TLayout::FieldDefaultText(const QString &field)
{
  const TFieldDef *def = FindField(field);
  return def ? def->DefaultText : QString();
}

QString TLayout::FieldText(const QString &field) const
{
  return FFields.value(field);
}

void TLayout::SetFieldText(const QString &field, const QString &text)
{
  const auto it = FFields.find(field);
  if (it != FFields.end())
    *it = text;
}

void TLayout::DialogToLayout()
{
  FPageWidth = ReadWhole(FFields.value(PageWidthField), DefaultPageWidth);
  FPageHeight = ReadWhole(FFields.value(PageHeightField), DefaultPageHeight);

  // Table order sets every master before the lines that follow it.
  for (int i = 0; i < LayoutItemCount; ++i) {
    const TItemDef &def = Items[i];
    TLayoutLine *line = FLines[size_t(i)].get();
    const TLayoutLine *master = line->Master();
    line->SetX(def.XField ? ReadWhole(FFields.value(Text(def.XField)), def.DefaultX) : master->X());
    line->SetY(def.YField ? ReadReal(FFields.value(Text(def.YField)), def.DefaultY) : master->Y());
    line->SetL(def.L != 0 ? def.L : master->L());
  }

  ::FioCentreX = FioCentreX();
}

void TLayout::LayoutToDialog()
{
  FFields[PageWidthField] = QString::number(FPageWidth);
  FFields[PageHeightField] = QString::number(FPageHeight);
  for (int i = 0; i < LayoutItemCount; ++i) {
    const TItemDef &def = Items[i];
    const TLayoutLine *line = FLines[size_t(i)].get();
    if (def.XField)
      FFields[Text(def.XField)] = QString::number(line->X());
    if (def.YField)
      FFields[Text(def.YField)] = FloatToIniText(line->Y());
  }
}

void TLayout::LoadLayoutFile(const QString &path)
{
  const TIniFile ini(path);
  const auto readSection = [&](int item) {
    TLayoutLine *line = FLines[size_t(item)].get();
    line->SetX(ini.ReadInteger(line->Name(), QStringLiteral("X"), DefaultX(item)));
    line->SetY(ReadRealKey(ini, line->Name(), QStringLiteral("Y"), DefaultY(item)));
    line->SetL(ini.ReadInteger(line->Name(), QStringLiteral("L"), FixedL(item)));
  };
  // The sections of the last-row and first-ДПА lines are not read: their Y
  // lives in NonLinesData, their X is their master's.
  for (int i = M(SeriaLine); i <= M(RightFirstMarkLine); ++i)
    readSection(i);
  Line(LeftLastLine)->SetY(ReadRealKey(ini, NonLinesData, QStringLiteral("LeftLastY"), DefaultY(M(LeftLastLine))));
  Line(RightLastLine)->SetY(ReadRealKey(ini, NonLinesData, QStringLiteral("RightLastY"), DefaultY(M(RightLastLine))));
  Line(DpaFirstLine)->SetY(ReadRealKey(ini, NonLinesData, QStringLiteral("DpaFirstY"), DefaultY(M(DpaFirstLine))));
  FPageWidth = ini.ReadInteger(NonLinesData, QStringLiteral("PageWidth"), DefaultPageWidth);
  FPageHeight = ini.ReadInteger(NonLinesData, QStringLiteral("PageHeight"), DefaultPageHeight);
  for (int i = M(BackTopGenderLine); i <= M(YearLine); ++i)
    readSection(i);
  Line(FacultLastYLine)
      ->SetY(ReadRealKey(ini, NonLinesData, QStringLiteral("FacultLastY"), DefaultY(M(FacultLastYLine))));

  LayoutToDialog();
  DialogToLayout();
}

void TLayout::SaveLayoutFile(const QString &path)
{
  DialogToLayout();
  TIniFile ini(path);
  for (const QList<TLayoutLine *> *side : {&FFront, &FBack})
    for (const TLayoutLine *line : *side) {
      ini.WriteInteger(line->Name(), QStringLiteral("X"), line->X());
      ini.WriteFloat(line->Name(), QStringLiteral("Y"), line->Y());
      ini.WriteInteger(line->Name(), QStringLiteral("L"), line->L());
    }
  ini.WriteFloat(NonLinesData, QStringLiteral("LeftLastY"), Line(LeftLastLine)->Y());
  ini.WriteFloat(NonLinesData, QStringLiteral("RightLastY"), Line(RightLastLine)->Y());
  ini.WriteFloat(NonLinesData, QStringLiteral("DpaFirstY"), Line(DpaFirstLine)->Y());
  ini.WriteInteger(NonLinesData, QStringLiteral("PageWidth"), FPageWidth);
  ini.WriteInteger(NonLinesData, QStringLiteral("PageHeight"), FPageHeight);
  ini.WriteFloat(NonLinesData, QStringLiteral("FacultLastY"), Line(FacultLastYLine)->Y());
  ini.UpdateFile();
}
