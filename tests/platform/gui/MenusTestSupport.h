// Start-up shared by the menu and action tests.
#pragma once

#include "platform/core/Filer.h"
#include "platform/core/Modules.h"
#include "platform/core/ObjectText.h"
#include "platform/core/Streams.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Menus.h"
#include "tests/support/TestObjects.h"

#include <string>

// The core modules and the ones menus and actions stand on, once per process.
inline void EnsureMenuModules() {
  static bool started = false;
  if (started) return;
  started = true;
  InitializeModules(PlatformCoreModules());
  static const TModuleStep steps[] = {
      {L"Graphics", &GraphicsInitialize, &GraphicsFinalize},
      {L"ActnList", &ActnListInitialize, &ActnListFinalize},
      {L"Menus", &MenusInitialize, &MenusFinalize},
  };
  InitializeModules(steps);
}

// The root component that the text form of the component stream describes,
// read as a stored definition is read.
inline Owned<TComponent> ReadRootFromText(const std::string& text) {
  TMemoryStream in, bin;
  in.WriteBuffer(text.data(), static_cast<int>(text.size()));
  in.SetPosition(0);
  ObjectTextToBinary(&in, &bin);
  bin.SetPosition(0);
  TReader reader(&bin);
  return Owned<TComponent>(reader.ReadRootComponent(nullptr));
}
