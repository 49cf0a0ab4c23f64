#pragma once

#include <QIcon>

/// Pictures of the ribbon's 32-pixel image list.
enum class TRibbonImage {
  SharedData,
  OpenTemplate,
  ImportFromExcel,
  OpenBackData,
  SaveBackData,
  BlankAppearance,
  SideSwitch,
  Grade9,
  Grade11,
  BlankSettings,
  Fonts,
  Undo,
  SaveBlankSettings,
  Print,
  SelectPrinter,
  Help,
  CheckUpdate,
  About,
};

/// The picture of an image-list entry (drawn by the program, 32 by 32).
QIcon RibbonImage(TRibbonImage image);
